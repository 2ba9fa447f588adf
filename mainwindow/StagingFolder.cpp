// The program's own folder, where the staging files of its conversions go.
#include "StagingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quillomatic {
namespace {

constexpr mode_t kOwnerOnly = S_IRWXU;

// Makes `path` and its missing parents, each readable by its owner alone, as
// the XDG base directories ask; an existing folder is left as it is.
bool MakeFolders(const QString& path) {
    QString made;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        made += QLatin1Char('/') + part;
        if (::mkdir(QFile::encodeName(made).constData(), kOwnerOnly) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return true;
}

// Whether `path` is a folder of this user's, kept to the user alone.
bool IsOwnFolder(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::getuid()) {
        return false;
    }
    constexpr mode_t kForOthers = S_IRWXG | S_IRWXO | S_ISUID | S_ISGID | S_ISVTX;
    return (status.st_mode & kForOthers) == 0 || ::chmod(name.constData(), kOwnerOnly) == 0;
}

} // namespace

StagingFolder::StagingFolder() {
    // A relative XDG_CACHE_HOME is invalid and ignored, as the XDG base
    // directory rules say.
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (QDir::isAbsolutePath(cache)) {
        m_Path = QDir::cleanPath(cache + QStringLiteral("/quillomatic"));
        return;
    }
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home)) {
        m_Path = QDir::cleanPath(home + QStringLiteral("/.cache/quillomatic"));
    }
}

bool StagingFolder::Enter(const QDateTime& now) {
    if (m_Path.isEmpty() || !MakeFolders(m_Path) || !IsOwnFolder(m_Path)) {
        return false;
    }
    RemoveStagingFilesOlderThan(now.addDays(-7));
    return QDir::setCurrent(m_Path);
}

void StagingFolder::RemoveStagingFilesOlderThan(const QDateTime& limit) const {
    // The names FileSystemObject::GetTempName gives, and only real files of
    // those names: no link, no folder.
    static const QRegularExpression stagingName(QStringLiteral("^qm[0-9a-f]{8}\\.tmp$"));
    const QFileInfoList entries =
        QDir(m_Path).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (stagingName.match(entry.fileName()).hasMatch() && !entry.isSymLink() &&
            entry.isFile() && entry.lastModified() < limit) {
            QFile::remove(entry.filePath());
        }
    }
}

} // namespace quillomatic
