// Writes a text file that replaces its target whole or not at all.
#include "AtomicTextFile.h"

#include "ComponentError.h"
#include "FileError.h"
#include "FileSystemObject.h"
#include "ScratchFiles.h"

#include <acl/libacl.h>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/acl.h>
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

// The file type of a device, a FIFO or a socket, found through any links;
// such a target is written in place. 0 for a regular file, a folder or
// nothing (a missing target is a new regular file).
mode_t SpecialFileType(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
        return 0;
    }
    return status.st_mode & S_IFMT;
}

// The old file's access ACL passes to its replacement, as cp -p passes it:
// a script that a web server's user may read through an entry of its own
// stays readable to it, and the group's entry (which the ACL's mask, not the
// mode, then limits) gives no one more than before. The replacement was made
// owner-only, or with the folder's default ACL, so the old file's list is set
// even when it says no more than the mode. Where the file system keeps no
// ACLs there is nothing to copy.
void CopyAccessList(const std::string& from, int toDescriptor) {
    const acl_t list = ::acl_get_file(from.c_str(), ACL_TYPE_ACCESS);
    if (list == nullptr) {
        return;
    }
    const bool copied = ::acl_set_fd(toDescriptor, list) == 0;
    const int error = errno;
    const bool saysOnlyTheMode = ::acl_equiv_mode(list, nullptr) == 0;
    ::acl_free(list);
    if (!copied && !saysOnlyTheMode) {
        throw FileError::FromErrno(error, FileError::Action::Write, from);
    }
}

// The same bytes from here to the end of both; the files are regular ones.
bool SameBytes(TextStream& a, TextStream& b) {
    constexpr std::size_t kBlock = 1 << 16;
    std::string blockOfA(kBlock, '\0');
    std::string blockOfB(kBlock, '\0');
    for (;;) {
        const std::size_t read = a.ReadBytes(blockOfA.data(), kBlock);
        std::size_t readOfB = 0;
        while (readOfB < read) {
            const std::size_t more = b.ReadBytes(blockOfB.data() + readOfB, read - readOfB);
            if (more == 0) {
                return false;
            }
            readOfB += more;
        }
        if (read == 0) {
            return b.ReadBytes(blockOfB.data(), 1) == 0;
        }
        if (blockOfA.compare(0, read, blockOfB, 0, read) != 0) {
            return false;
        }
    }
}

} // namespace

AtomicTextFile::AtomicTextFile(std::string targetPath, Waiting waiting) {
    if (const mode_t type = SpecialFileType(targetPath)) {
        // The path the user gave is opened, not the link's resolved text:
        // /dev/stdout leads to a pipe that only the kernel can reopen.
        const int descriptor =
            ::open(targetPath.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC |
                                           (waiting == Waiting::Refused ? O_NONBLOCK : 0));
        if (descriptor < 0 && errno == ENXIO && type == S_IFIFO) {
            throw FileError::Make(FileError::kDeviceIOError, FileError::Action::Open, targetPath,
                                  "nobody is reading from it");
        }
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
    // A new file gets what the umask leaves of 0666 from the kernel, which
    // alone may read the umask safely while other threads make files. A
    // replacement is the owner's alone until it takes the old file's place.
    struct stat old {};
    const mode_t permissions = ::stat(m_TargetPath.c_str(), &old) == 0 ? 0600 : 0666;
    for (int attempt = 1; !m_Stream; ++attempt) {
        const std::string scratch =
            (target.parent_path() / ("." + fileSystem.GetTempName())).string();
        const int descriptor =
            ScratchFiles::Create(scratch, O_WRONLY | O_NOFOLLOW | O_CLOEXEC, permissions);
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
        ScratchFiles::Remove(m_ScratchPath);
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
    struct stat old {};
    if (m_WritesInPlace || ::stat(m_TargetPath.c_str(), &old) != 0) {
        return;
    }
    // The new file takes the old one's owner, group and permissions as far as
    // the process may: only root may give a file away (for anyone else the
    // file stays the user's own), and the set-user-ID and set-group-ID bits
    // do not pass to other contents. The mode comes last, since a change of
    // owner clears bits.
    if (::fchown(m_Stream->Descriptor(), old.st_uid, old.st_gid) != 0) {
        // not allowed: the file stays the user's own
    }
    if (::fchmod(m_Stream->Descriptor(), old.st_mode & 07777 & ~mode_t(S_ISUID | S_ISGID)) != 0) {
        throw FileError::FromErrno(errno, FileError::Action::Write, m_TargetPath);
    }
    CopyAccessList(m_TargetPath, m_Stream->Descriptor());
}

bool AtomicTextFile::SameAsTarget() const {
    if (m_WritesInPlace || m_ScratchPath.empty()) {
        return false;
    }
    // Opened without waiting: the target may have become a FIFO meanwhile.
    const int target = ::open(m_TargetPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (target < 0) {
        return false;
    }
    TextStream old(target, m_TargetPath);
    struct stat oldStatus {};
    struct stat newStatus {};
    if (::fstat(old.Descriptor(), &oldStatus) != 0 || !S_ISREG(oldStatus.st_mode) ||
        ::fstat(m_Stream->Descriptor(), &newStatus) != 0 ||
        oldStatus.st_size != newStatus.st_size) {
        return false;
    }
    const int scratch = ::open(m_ScratchPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (scratch < 0) {
        return false;
    }
    TextStream written(scratch, m_ScratchPath);
    try {
        return SameBytes(written, old);
    } catch (const ComponentError&) {
        return false;
    }
}

void AtomicTextFile::CommitSynced() {
    m_Stream->Close();
    if (m_WritesInPlace) {
        return;
    }
    if (ScratchFiles::RenameIntoPlace(m_ScratchPath, m_TargetPath) != 0) {
        throw FileError::FromErrno(errno, FileError::Action::Rename, m_TargetPath);
    }
    m_ScratchPath.clear();
}

} // namespace quillomatic
