// The program's own folder, where the staging files of its conversions go.
#include "StagingFolder.h"

#include "FileSystemObject.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillomatic {
namespace {

constexpr mode_t kOwnerOnly = S_IRWXU;

// Makes the missing folders of `path`, each readable by its owner alone, as
// the XDG base directories ask; an existing folder is left as it is. True
// when `path` itself was made now.
bool MakeFolders(const QString& path, bool& madeNow) {
    QString made;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        made += QLatin1Char('/') + part;
        madeNow = ::mkdir(QFile::encodeName(made).constData(), kOwnerOnly) == 0;
        if (!madeNow && errno != EEXIST) {
            return false;
        }
    }
    return true;
}

// The folder at `path` opened, when it is this user's own folder and not a
// link to one: the program changes and sweeps only a folder of its own, never
// one a link leads to (a shared folder such as /tmp), nor one of someone
// else's. -1 otherwise.
int OpenOwnFolder(const QString& path, bool madeNow) {
    const int folder = ::open(QFile::encodeName(path).constData(),
                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    if (folder < 0 || ::fstat(folder, &status) != 0 || status.st_uid != ::getuid()) {
        if (folder >= 0) {
            ::close(folder);
        }
        return -1;
    }
    constexpr mode_t kForOthers = S_IRWXG | S_IRWXO | S_ISUID | S_ISGID | S_ISVTX;
    if ((madeNow || (status.st_mode & kForOthers) != 0) && ::fchmod(folder, kOwnerOnly) != 0) {
        ::close(folder);
        return -1;
    }
    return folder;
}

// Removes the staging files in `folder` last changed before `limit`: the
// names FileSystemObject::GetTempName gives, and only regular files of those
// names, no link and no folder.
void RemoveStagingFilesOlderThan(int folder, const QDateTime& limit) {
    DIR* entries = ::fdopendir(::dup(folder));
    if (entries == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        struct stat status {};
        if (FileSystemObject::IsTempName(entry->d_name) &&
            ::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && status.st_mtim.tv_sec < limit.toSecsSinceEpoch()) {
            ::unlinkat(folder, entry->d_name, 0);
        }
    }
    ::closedir(entries);
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

bool StagingFolder::Prepare(const QDateTime& now) {
    bool madeNow = false;
    if (m_Path.isEmpty() || !MakeFolders(m_Path, madeNow)) {
        return false;
    }
    const int folder = OpenOwnFolder(m_Path, madeNow);
    if (folder < 0) {
        return false;
    }
    RemoveStagingFilesOlderThan(folder, now.addDays(-7));
    ::close(folder);
    return true;
}

} // namespace quillomatic
