// Icons and type names for the file dialog, told from file names alone.
#pragma once

#include <QFileIconProvider>
#include <QMimeDatabase>

namespace quillomatic {

// Qt's own provider guesses a file's type from its contents: the dialog then
// opens and reads every file it lists, on the window's thread. Reading
// /proc/kmsg as root, or a file on a hung share, never returns, and a large
// folder is slow to list. This one reads nothing: a file's type comes from its
// name, its icon from that type; folders and drives get the style's icons.
class FileTypeByName : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    [[nodiscard]] QIcon icon(const QFileInfo& info) const override;
    [[nodiscard]] QString type(const QFileInfo& info) const override;

private:
    QMimeDatabase m_Types;
};

} // namespace quillomatic
