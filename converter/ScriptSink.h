// Where a conversion writes its script: a text in memory or a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillomatic {

// Statements are written through a plain pointer: a statement is a handful of
// short pieces, and appending each piece to a string with its own bounds
// check costs more than the escaping itself.
class ScriptSink {
public:
    virtual ~ScriptSink() = default;

    // Where to write up to `more` bytes; then EndAt(the end of what was written).
    [[nodiscard]] virtual char* Room(std::size_t more) = 0;
    virtual void EndAt(const char* end) = 0;
    // Told the size of the page before its script is made, where it is known.
    virtual void ExpectPage(std::uint64_t /*bytes*/) {}
    // The page has nothing more to give at once (a pipe between two writes):
    // the whole statements so far go on to where the script is going.
    virtual void PassOn() {}

    void Append(std::string_view text) { EndAt(CopyTo(Room(text.size()), text)); }

    // Copies `text` to `out` and returns the end of the copy.
    static char* CopyTo(char* out, std::string_view text) noexcept {
        for (const char c : text) {
            *out++ = c;
        }
        return out;
    }
};

} // namespace quillomatic
