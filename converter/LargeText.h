// Room for texts of tens of megabytes.
#pragma once

#include <cstddef>
#include <string>

namespace quillomatic {

// Reserves room for at least `capacity` bytes in `text`, in huge pages where
// the kernel has them. A large text is written once from start to end; huge
// pages spare it hundreds of thousands of page faults, a fifth or more of the
// time a large page takes to convert. Reserved pages that are never written
// cost no memory.
void ReserveLarge(std::string& text, std::size_t capacity);

} // namespace quillomatic
