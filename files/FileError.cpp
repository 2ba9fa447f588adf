// The errors the file services raise, each naming the file and the cause.
#include "FileError.h"

#include "NameQuoting.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace quillomatic {
namespace {

const char* VerbOf(FileError::Action action) {
    switch (action) {
    case FileError::Action::Open:
        return "open";
    case FileError::Action::Create:
        return "create";
    case FileError::Action::Read:
        return "read";
    case FileError::Action::Write:
        return "write";
    case FileError::Action::Close:
        return "finish writing";
    case FileError::Action::Rename:
        return "replace";
    case FileError::Action::Remove:
        return "remove";
    }
    return "use";
}

bool FolderOfPathExists(const std::string& path) {
    std::error_code ignored;
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) {
        return true; // the current folder
    }
    return std::filesystem::is_directory(folder, ignored);
}

// The errno of looking at `path` through its links; 0 when it can be looked at.
int StatusOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? 0 : errno;
}

// A socket cannot be opened as a file: open() says "No such device or address".
bool IsSocket(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

} // namespace

namespace FileError {

ComponentError Make(std::int32_t number, Action action, const std::string& path,
                    const std::string& cause) {
    return ComponentError(number, kSource,
                          std::string("Cannot ") + VerbOf(action) + " " +
                              NameQuoting::Quoted(path) + ": " + cause + ".");
}

ComponentError FromErrno(int errorNumber, Action action, const std::string& path) {
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        if (!FolderOfPathExists(path)) {
            return Make(kPathNotFound, action, path, "the folder does not exist");
        }
        return Make(kFileNotFound, action, path, "the file does not exist");
    case EACCES:
    case EPERM:
        return Make(kPermissionDenied, action, path, "permission denied");
    case EROFS:
        return Make(kPermissionDenied, action, path, "the disk is read-only");
    case EISDIR:
        return Make(kPathFileAccessError, action, path, "it is a folder, not a file");
    case EEXIST:
        return Make(kFileAlreadyExists, action, path, "a file of that name already exists");
    case ELOOP:
        // Links are followed everywhere but where a file is made under a
        // fresh name, so the cause is nearly always a loop.
        return Make(kPathFileAccessError, action, path,
                    StatusOf(path) == ELOOP ? "there is a loop of symbolic links"
                                            : "it is a symbolic link");
    case ENAMETOOLONG:
        return Make(kPathFileAccessError, action, path, "the name is too long");
    case ENOSPC:
    case EDQUOT:
        return Make(kDiskFull, action, path, "the disk is full");
    case EFBIG:
        return Make(kDiskFull, action, path, "the file would be larger than allowed");
    case ENXIO:
        if (IsSocket(path)) {
            return Make(kPathFileAccessError, action, path, "it is a socket");
        }
        return Make(kDeviceIOError, action, path, std::strerror(errorNumber));
    case EAGAIN:
        return Make(kDeviceIOError, action, path, "it cannot take more without waiting");
    default:
        return Make(kDeviceIOError, action, path, std::strerror(errorNumber));
    }
}

} // namespace FileError
} // namespace quillomatic
