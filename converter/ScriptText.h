// A conversion's script assembled in memory.
#pragma once

#include "ScriptSink.h"

#include <future>
#include <string>

namespace quillomatic {

// Room is reserved once from the size of the page and grown by half when a
// page of short or heavily escaped lines needs more, so growing never holds
// much more than the result itself. Reserved pages that are never written
// cost no memory.
class ScriptText : public ScriptSink {
public:
    [[nodiscard]] char* Room(std::size_t more) override;
    void EndAt(const char* end) override {
        m_Length = static_cast<std::size_t>(end - m_Text.data());
    }
    void ExpectPage(std::uint64_t bytes) override;
    // The finished text; the ScriptText is empty afterwards.
    [[nodiscard]] std::string Take();

private:
    void Reserve(std::size_t capacity);

    std::string m_Text;          // size(): bytes made writable so far; capacity(): reserved
    std::size_t m_Length = 0;    // bytes of the result written
    std::future<void> m_Cleared; // pages of m_Text being cleared ahead (see ClearAhead)
};

} // namespace quillomatic
