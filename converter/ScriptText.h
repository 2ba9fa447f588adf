// The growing text of one conversion's result.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillomatic {

// Holds a result while it is assembled, written through a plain pointer: a
// statement is a handful of short pieces, and appending each piece to a
// string with its own bounds check costs more than the escaping itself.
//
// Room is reserved once from the size of the source and grown by half when a
// page of short or heavily escaped lines needs more, so growing never holds
// much more than the result itself. Reserved pages that are never written
// cost no memory.
class ScriptText {
public:
    explicit ScriptText(std::size_t expectedSize);

    // Where to write up to `more` bytes; then EndAt(the end of what was written).
    [[nodiscard]] char* Room(std::size_t more);
    void EndAt(const char* end) noexcept {
        m_Length = static_cast<std::size_t>(end - m_Text.data());
    }
    void Append(std::string_view text);
    // The finished text; the ScriptText is empty afterwards.
    [[nodiscard]] std::string Take();

private:
    void Reserve(std::size_t capacity);

    std::string m_Text;       // size(): bytes made writable so far; capacity(): reserved
    std::size_t m_Length = 0; // bytes of the result written
};

// Copies `text` to `out` and returns the end of the copy.
inline char* CopyTo(char* out, std::string_view text) noexcept {
    for (const char c : text) {
        *out++ = c;
    }
    return out;
}

} // namespace quillomatic
