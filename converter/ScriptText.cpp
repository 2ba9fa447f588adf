// A conversion's script assembled in memory.
#include "ScriptText.h"

#include "LargeText.h"

#include <algorithm>

namespace quillomatic {
namespace {

// Reserved room is made writable this much at a time, so untouched room stays free.
constexpr std::size_t kWritableStep = std::size_t(1) << 20;

} // namespace

void ScriptText::ExpectPage(std::uint64_t bytes) {
    // A typical page grows by a third or so; twice its size covers most pages.
    const auto size = static_cast<std::size_t>(bytes);
    Reserve(m_Length + 2 * size + 256);
    m_Cleared = ClearAhead(m_Text, m_Length + size + size / 2);
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
    if (m_Cleared.valid()) {
        m_Cleared.wait();
    }
    m_Text.resize(m_Length);
    m_Length = 0;
    return std::move(m_Text);
}

void ScriptText::Reserve(std::size_t capacity) {
    if (m_Cleared.valid()) {
        m_Cleared.wait();
    }
    ReserveLarge(m_Text, capacity);
}

} // namespace quillomatic
