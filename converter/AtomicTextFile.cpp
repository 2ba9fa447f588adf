// Writes a text file that replaces its target whole or not at all.
#include "AtomicTextFile.h"

#include "FileError.h"
#include "FileSystemObject.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quillomatic {
namespace {

// Saving through a symbolic link updates the file it points to and keeps the link.
std::string ResolveLink(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const auto resolved = std::filesystem::weakly_canonical(path, error);
        if (!error) {
            return resolved.string();
        }
    }
    return path;
}

mode_t PermissionsFor(const std::string& target) {
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0) {
        return status.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// True for a device, a FIFO or a socket, found through any links; such a
// target is written in place. A missing target is a new regular file.
bool IsSpecialFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) &&
           !S_ISDIR(status.st_mode);
}

} // namespace

AtomicTextFile::AtomicTextFile(std::string targetPath) {
    if (IsSpecialFile(targetPath)) {
        // The path the user gave is opened, not the link's resolved text:
        // /dev/stdout leads to a pipe that only the kernel can reopen.
        const int descriptor = ::open(targetPath.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (descriptor < 0) {
            throw FileError::FromErrno(errno, FileError::Action::Open, targetPath);
        }
        m_TargetPath = targetPath;
        m_WritesInPlace = true;
        m_Stream.emplace(descriptor, targetPath);
        return;
    }
    m_TargetPath = ResolveLink(targetPath);
    const std::filesystem::path target(m_TargetPath);
    std::error_code ignored;
    if (std::filesystem::is_directory(target, ignored)) {
        throw FileError::FromErrno(EISDIR, FileError::Action::Create, targetPath);
    }
    // Seeding a generator of names costs more than writing a small script
    // (std::random_device may question the processor, which a virtual
    // machine answers slowly); one generator a thread serves every file.
    thread_local FileSystemObject fileSystem;
    for (int attempt = 1; !m_Stream; ++attempt) {
        const std::string scratch =
            (target.parent_path() / ("." + fileSystem.GetTempName())).string();
        const int descriptor =
            ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor >= 0) {
            m_ScratchPath = scratch;
            m_Stream.emplace(descriptor, targetPath);
        } else if (errno != EEXIST || attempt == FileSystemObject::kFreshNameAttempts) {
            throw FileError::FromErrno(errno, FileError::Action::Create, targetPath);
        }
    }
}

AtomicTextFile::~AtomicTextFile() {
    m_Stream.reset();
    if (!m_ScratchPath.empty()) {
        ::unlink(m_ScratchPath.c_str());
    }
}

void AtomicTextFile::Write(std::string_view sText, TextEncoding encoding) {
    m_Stream->Write(sText, encoding);
}

void AtomicTextFile::Commit() {
    Complete();
    // A device or a pipe has nothing to make durable, and fsync() refuses most.
    if (!m_WritesInPlace && ::fsync(m_Stream->Descriptor()) != 0) {
        throw FileError::FromErrno(errno, FileError::Action::Write, m_TargetPath);
    }
    CommitSynced();
}

void AtomicTextFile::Complete() {
    if (!m_WritesInPlace && ::fchmod(m_Stream->Descriptor(), PermissionsFor(m_TargetPath)) != 0) {
        throw FileError::FromErrno(errno, FileError::Action::Write, m_TargetPath);
    }
}

void AtomicTextFile::CommitSynced() {
    m_Stream->Close();
    if (m_WritesInPlace) {
        return;
    }
    if (::rename(m_ScratchPath.c_str(), m_TargetPath.c_str()) != 0) {
        throw FileError::FromErrno(errno, FileError::Action::Rename, m_TargetPath);
    }
    m_ScratchPath.clear();
}

} // namespace quillomatic
