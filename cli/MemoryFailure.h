// A lack of memory, told as one, whatever part of the program ran out.
#pragma once

#include <exception>
#include <string>

namespace quillomatic::MemoryFailure {

// Whether `error` means the memory ran out: an allocation that failed, or a
// thread that could not be started for want of room for its stack (as under
// "ulimit -v").
[[nodiscard]] bool Is(const std::exception& error) noexcept;

// What the user reads for a page that did not fit: "not enough memory to
// convert "PAGE"", or "... the pages" for a batch as a whole (`page` empty).
[[nodiscard]] std::string Message(const std::string& page);

// The line for `error` while `page` was converted: Message() for a lack of
// memory, the error's own description otherwise.
[[nodiscard]] std::string Describe(const std::exception& error, const std::string& page);

} // namespace quillomatic::MemoryFailure
