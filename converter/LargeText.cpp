// Room for texts of tens of megabytes.
#include "LargeText.h"

#include <cstdint>
#include <sys/mman.h>

namespace quillomatic {
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t(1) << 21;

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

} // namespace quillomatic
