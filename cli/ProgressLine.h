// The progress of a batch on a terminal: one line, redrawn in place.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

namespace quillomatic {

// "converted 1,234 of 5,000 pages", drawn after a carriage return so that each
// drawing covers the one before; the cursor stays at the end of the line.
class ProgressLine {
public:
    explicit ProgressLine(std::ostream& terminal) : m_Terminal(terminal) {}

    void Show(std::size_t done, std::size_t total);
    // Blanks the line and leaves the cursor at its start, for what is written
    // next; nothing when no line is shown.
    void Clear();
    [[nodiscard]] bool IsShown() const noexcept { return m_Width > 0; }

    [[nodiscard]] static std::string Text(std::size_t done, std::size_t total);

private:
    std::ostream& m_Terminal;
    std::size_t m_Width = 0; // the columns the line covers; 0 when none is shown
};

} // namespace quillomatic
