// Icons and type names for the file dialog, told from file names alone.
#include "FileTypeByName.h"

#include <QFileInfo>
#include <QIcon>

namespace quillomatic {

QIcon FileTypeByName::icon(const QFileInfo& info) const {
    if (info.isRoot()) {
        return icon(Drive);
    }
    if (info.isDir()) {
        return icon(Folder);
    }
    if (info.isFile()) {
        const QMimeType type =
            m_Types.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        const QIcon themed = QIcon::fromTheme(type.iconName());
        if (!themed.isNull()) {
            return themed;
        }
        const QIcon generic = QIcon::fromTheme(type.genericIconName());
        if (!generic.isNull()) {
            return generic;
        }
    }
    return icon(File);
}

QString FileTypeByName::type(const QFileInfo& info) const {
    if (!info.isFile()) {
        // Folders, drives, links and special files: Qt names them from what
        // the listing already knows.
        return QFileIconProvider::type(info);
    }
    const QMimeType type = m_Types.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    return type.comment().isEmpty() ? type.name() : type.comment();
}

} // namespace quillomatic
