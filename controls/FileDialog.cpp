// The open and save dialog of the main window.
#include "FileDialog.h"

#include "FileFilter.h"
#include "Fonts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>

namespace quillomatic {
namespace {

// `name` with `extension` in place of its own, if it has one.
QString WithExtension(const QString& name, const QString& extension) {
    if (extension.isEmpty()) {
        return name;
    }
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // A leading dot starts the name of a hidden file, not an extension.
    return (dot > 0 ? name.left(dot) : name) + QLatin1Char('.') + extension;
}

} // namespace

FileDialog::FileDialog(QWidget* owner) : QObject(owner), m_Owner(owner) {}

void FileDialog::ShowOpen() {
    Show(false);
}

void FileDialog::ShowSave() {
    Show(true);
}

void FileDialog::Show(bool forSaving) {
    QFileDialog dialog(m_Owner, m_DialogTitle);
    dialog.setObjectName(QStringLiteral("cdg"));
    // Qt's own dialog everywhere: the same behaviour on every desktop, and no
    // overwrite question of its own.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A name that does not exist may be typed; the load command asks about it.
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt's own guess at each file's type reads the file, on this thread.
    dialog.setIconProvider(&m_FileTypes);
    QFont font = Fonts::Verdana(8.25);
    font.setFamilies(QStringList{m_FontName} + font.families());
    dialog.setFont(font);

    // Qt's dialog matches name filters whatever the letter case.
    const FileFilter filter(m_Filter);
    dialog.setNameFilters(filter.NameFilters());

    if (!m_FileName.isEmpty()) {
        const QFileInfo previous(m_FileName);
        dialog.setDirectory(previous.absolutePath());
        dialog.selectFile(forSaving ? WithExtension(previous.fileName(), m_DefaultExt)
                                    : previous.fileName());
    } else if (!m_InitDir.isEmpty()) {
        dialog.setDirectory(m_InitDir);
    }
    QTimer::singleShot(0, this, [this, &dialog] { emit Shown(&dialog); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        throw Cancelled();
    }
    m_FileName = dialog.selectedFiles().constFirst();
}

} // namespace quillomatic
