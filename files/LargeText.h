// Room for texts of tens of megabytes.
#pragma once

#include <cstddef>
#include <future>
#include <string>

namespace quillomatic {

// Reserves room for at least `capacity` bytes in `text`, in huge pages where
// the kernel has them. A large text is written once from start to end; huge
// pages spare it hundreds of thousands of page faults, a fifth or more of the
// time a large page takes to convert. Reserved pages that are never written
// cost no memory.
void ReserveLarge(std::string& text, std::size_t capacity);

// Faults in the first `bytes` of the room reserved in `text` on a thread of its
// own: the kernel clears a new page before it is first written, a fifth of
// the time a large page takes to convert, and this way does so on another
// core while the caller writes the text. The caller waits for the result
// before the room moves or goes. Nothing is started for a small text.
[[nodiscard]] std::future<void> ClearAhead(const std::string& text, std::size_t bytes);

} // namespace quillomatic
