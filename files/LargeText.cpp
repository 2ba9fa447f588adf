// Room for texts of tens of megabytes.
#include "LargeText.h"

#include <algorithm>
#include <cstdint>
#include <sys/mman.h>

namespace quillomatic {
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t(1) << 21;
constexpr std::uintptr_t kPage = 4096;
// Below this, starting a thread costs more than clearing the pages.
constexpr std::size_t kClearedAheadFrom = std::size_t(4) << 20;

} // namespace

void ReserveLarge(std::string& text, std::size_t capacity) {
    text.reserve(capacity);
    // Only whole huge pages inside the block are advised, and a kernel
    // without them simply ignores the advice.
    const auto address = reinterpret_cast<std::uintptr_t>(text.data());
    const std::uintptr_t begin = (address + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (address + text.capacity()) & ~(kHugePage - 1);
    if (end > begin) {
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
}

std::future<void> ClearAhead(const std::string& text, std::size_t bytes) {
    bytes = std::min(bytes, text.capacity());
    if (bytes < kClearedAheadFrom) {
        return {};
    }
    const auto address = reinterpret_cast<std::uintptr_t>(text.data());
    const std::uintptr_t begin = (address + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t end = (address + bytes) & ~(kPage - 1);
    return std::async(std::launch::async, [begin, end] {
        // A kernel older than 5.14 refuses the advice; the pages are then
        // cleared where they are first written, as without it.
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
    });
}

} // namespace quillomatic
