// Where a conversion writes its script, a block at a time.
#pragma once

#include "BackgroundWriter.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quillomatic {

// Statements are written through a plain pointer into a block of memory that
// stays in the processor's cache: a statement is a handful of short pieces,
// and appending each piece to a string with its own bounds check costs more
// than the escaping itself. Each full block goes to the sink's end (decoded
// onto a text in ScriptText, written to a file in ScriptStream) on a thread of
// its own while the next block is made (see BackgroundWriter); a script of one
// block goes there in one go, with no thread.
class ScriptSink {
public:
    // Where to write up to `more` bytes; then EndAt(the end of what was written).
    [[nodiscard]] char* Room(std::size_t more);
    void EndAt(const char* end) noexcept {
        m_Length = static_cast<std::size_t>(end - m_Block.data());
    }

    void Append(std::string_view text) { EndAt(CopyTo(Room(text.size()), text)); }

    // Copies `text` to `out` and returns the end of the copy.
    static char* CopyTo(char* out, std::string_view text) noexcept {
        for (const char c : text) {
            *out++ = c;
        }
        return out;
    }

protected:
    ScriptSink(std::size_t blockSize, std::function<void(std::string_view block)> end);
    ~ScriptSink() = default;
    ScriptSink(const ScriptSink&) = delete;
    ScriptSink& operator=(const ScriptSink&) = delete;

    // Hands over what the block holds and waits until everything handed over
    // has reached the end.
    void Finish();
    // Lets the end be destroyed: nothing reaches it any more.
    void Stop() noexcept { m_Writer.Stop(); }

private:
    std::function<void(std::string_view block)> m_End;
    BackgroundWriter m_Writer;
    std::size_t m_BlockSize;
    std::string m_Block;
    std::size_t m_Length = 0; // bytes of the block written
    bool m_HandedOver = false;
};

} // namespace quillomatic
