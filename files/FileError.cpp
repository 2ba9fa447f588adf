// The errors the file services raise, each naming the file and the cause.
#include "FileError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

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

} // namespace

namespace FileError {

ComponentError Make(std::int32_t number, Action action, const std::string& path,
                    const std::string& cause) {
    return ComponentError(number, kSource,
                          std::string("Cannot ") + VerbOf(action) + " \"" + path + "\": " + cause +
                              ".");
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
        return Make(kPathFileAccessError, action, path, "it is a symbolic link");
    case ENAMETOOLONG:
        return Make(kPathFileAccessError, action, path, "the name is too long");
    case ENOSPC:
    case EDQUOT:
        return Make(kDiskFull, action, path, "the disk is full");
    case EFBIG:
        return Make(kDiskFull, action, path, "the file would be larger than allowed");
    case EAGAIN:
        return Make(kDeviceIOError, action, path, "it cannot take more without waiting");
    default:
        return Make(kDeviceIOError, action, path, std::strerror(errorNumber));
    }
}

} // namespace FileError
} // namespace quillomatic
