// The file services of the engine and of the window's file commands.
#include "FileSystemObject.h"

#include "FileError.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillomatic {
namespace {

// A staging file's name: the start, random lowercase hexadecimal digits, the end.
constexpr std::string_view kTempStart = "qm";
constexpr int kTempDigits = 8;
constexpr std::string_view kTempEnd = ".tmp";

} // namespace

FileSystemObject::FileSystemObject() : m_Random(std::random_device{}()) {}

FileSystemObject::FileSystemObject(std::uint64_t seed) : m_Random(seed) {}

std::string FileSystemObject::GetTempName() {
    std::array<char, kTempDigits + 1> digits{};
    std::snprintf(digits.data(), digits.size(), "%0*x", kTempDigits,
                  static_cast<unsigned>(m_Random()));
    return std::string(kTempStart) + digits.data() + std::string(kTempEnd);
}

bool FileSystemObject::IsTempName(std::string_view name) noexcept {
    if (name.size() != kTempStart.size() + kTempDigits + kTempEnd.size() ||
        !name.starts_with(kTempStart) || !name.ends_with(kTempEnd)) {
        return false;
    }
    const std::string_view digits = name.substr(kTempStart.size(), kTempDigits);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool FileSystemObject::FileExists(const std::string& sPath) const {
    struct stat status {};
    return !sPath.empty() && ::stat(sPath.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool FileSystemObject::NothingAt(const std::string& sPath) const {
    struct stat status {};
    return sPath.empty() ||
           (::stat(sPath.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR));
}

TextStream FileSystemObject::OpenTextFile(const std::string& sPath) const {
    return OpenForReading(sPath, 0);
}

TextStream FileSystemObject::OpenRegularTextFile(const std::string& sPath) const {
    // Looked at before it is opened, since opening a device may set it going,
    // and again once open, in case a FIFO took the file's place meanwhile
    // (O_NONBLOCK opens one at once).
    struct stat status {};
    if (::stat(sPath.c_str(), &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
        TextStream file = OpenForReading(sPath, O_NONBLOCK | O_NOCTTY);
        if (::fstat(file.Descriptor(), &status) == 0 && S_ISREG(status.st_mode)) {
            return file;
        }
    }
    throw FileError::Make(FileError::kPathFileAccessError, FileError::Action::Open, sPath,
                          S_ISSOCK(status.st_mode) ? "it is a socket" : "it is not a regular file");
}

TextStream FileSystemObject::OpenForReading(const std::string& sPath, int flags) {
    const int descriptor = ::open(sPath.c_str(), O_RDONLY | O_CLOEXEC | flags);
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
