// The scratch files the process has on disk, for removal when a signal ends it.
#include "ScratchFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <unistd.h>

namespace quillomatic::ScratchFiles {
namespace {

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}

std::set<std::string>& Recorded() {
    static std::set<std::string> paths;
    return paths;
}

} // namespace

int Create(const std::string& path, int flags, mode_t mode) {
    const std::lock_guard hold(Lock());
    // Recorded first: a name recorded in vain costs nothing, a file made but
    // not yet recorded would be missed.
    const auto [recorded, isNew] = Recorded().insert(path);
    const int descriptor = ::open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
    if (descriptor < 0 && isNew) {
        const int error = errno;
        Recorded().erase(recorded);
        errno = error;
    }
    return descriptor;
}

int RenameIntoPlace(const std::string& from, const std::string& to) {
    const std::lock_guard hold(Lock());
    const int result = ::rename(from.c_str(), to.c_str());
    if (result == 0) {
        Recorded().erase(from);
    }
    return result;
}

void Remove(const std::string& path) {
    const std::lock_guard hold(Lock());
    ::unlink(path.c_str());
    Recorded().erase(path);
}

void RemoveAllAndHold() {
    Lock().lock();
    for (const std::string& path : Recorded()) {
        ::unlink(path.c_str());
    }
}

} // namespace quillomatic::ScratchFiles
