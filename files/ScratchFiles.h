// The scratch files the process has on disk, for removal when a signal ends it.
#pragma once

#include <string>
#include <sys/types.h>

namespace quillomatic::ScratchFiles {

// A scratch file is made, renamed into place and removed through these, under
// one lock, so that RemoveAllAndHold() sees every file that exists and none
// that is gone: a file appears in the record in the same step as on disk.

// open(path, flags | O_CREAT | O_EXCL, mode), recorded; -1 with errno set on failure.
[[nodiscard]] int Create(const std::string& path, int flags, mode_t mode);
// rename(from, to); `from` leaves the record once it is in place. The return
// and errno are rename()'s.
int RenameIntoPlace(const std::string& from, const std::string& to);
// Removes the file and its record.
void Remove(const std::string& path);

// Removes every recorded file and keeps the lock for good, so no new scratch
// file appears and none is renamed into place: for a thread that ends the
// process right after.
void RemoveAllAndHold();

} // namespace quillomatic::ScratchFiles
