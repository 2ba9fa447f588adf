// The file services of the engine and of the window's file commands.
#include "FileSystemObject.h"

#include "FileError.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillomatic {

FileSystemObject::FileSystemObject() : m_Random(std::random_device{}()) {}

FileSystemObject::FileSystemObject(std::uint64_t seed) : m_Random(seed) {}

std::string FileSystemObject::GetTempName() {
    std::array<char, 16> name{};
    std::snprintf(name.data(), name.size(), "qm%08x.tmp", static_cast<unsigned>(m_Random()));
    return name.data();
}

bool FileSystemObject::FileExists(const std::string& sPath) const {
    struct stat status {};
    return !sPath.empty() && ::stat(sPath.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

TextStream FileSystemObject::OpenTextFile(const std::string& sPath) const {
    const int descriptor = ::open(sPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        throw FileError::FromErrno(errno, FileError::Action::Open, sPath);
    }
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(descriptor);
        throw FileError::FromErrno(EISDIR, FileError::Action::Open, sPath);
    }
    return TextStream(descriptor, sPath);
}

TextStream FileSystemObject::CreateTextFile(const std::string& sPath, bool bOverwrite) const {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (bOverwrite ? O_TRUNC : O_EXCL | O_NOFOLLOW);
    const mode_t permissions = bOverwrite ? 0666 : 0600;
    const int descriptor = ::open(sPath.c_str(), flags, permissions);
    if (descriptor < 0) {
        throw FileError::FromErrno(errno, FileError::Action::Create, sPath);
    }
    return TextStream(descriptor, sPath);
}

} // namespace quillomatic
