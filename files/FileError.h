// The errors the file services raise, each naming the file and the cause.
#pragma once

#include "ComponentError.h"

#include <cstdint>
#include <string>

namespace quillomatic {

namespace FileError {

inline constexpr const char* kSource = "FileSystemObject";

inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIOError = 57;
inline constexpr std::int32_t kFileAlreadyExists = 58;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kInvalidFileFormat = 321;

enum class Action { Open, Create, Read, Write, Close, Rename, Remove };

// The error for a failed system call, from its errno value.
[[nodiscard]] ComponentError FromErrno(int errorNumber, Action action, const std::string& path);
// An error with a number and cause of the caller's choosing.
[[nodiscard]] ComponentError Make(std::int32_t number, Action action, const std::string& path,
                                  const std::string& cause);

} // namespace FileError

} // namespace quillomatic
