// A conversion's script assembled in memory.
#include "ScriptText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sys/mman.h>

namespace quillomatic {
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t(1) << 21;
// Reserved room is made writable this much at a time, so untouched room stays free.
constexpr std::size_t kWritableStep = std::size_t(1) << 20;

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

ScriptText::ScriptText(std::size_t expectedSize) {
    Reserve(expectedSize);
}

char* ScriptText::Room(std::size_t more) {
    const std::size_t needed = m_Length + more;
    if (needed > m_Text.size()) {
        if (needed > m_Text.capacity()) {
            Reserve(std::max(needed, m_Text.capacity() + m_Text.capacity() / 2));
        }
        m_Text.resize(std::min(m_Text.capacity(), std::max(needed, m_Text.size() + kWritableStep)));
    }
    return m_Text.data() + m_Length;
}

std::string ScriptText::Take() {
    m_Text.resize(m_Length);
    m_Length = 0;
    return std::move(m_Text);
}

void ScriptText::Reserve(std::size_t capacity) {
    m_Text.reserve(capacity);
    AdviseHugePages(m_Text.data(), m_Text.capacity());
}

} // namespace quillomatic
