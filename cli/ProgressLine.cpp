// The progress of a batch on a terminal: one line, redrawn in place.
#include "ProgressLine.h"

#include <algorithm>

namespace quillomatic {
namespace {

// 1234567 as "1,234,567".
std::string WithThousands(std::size_t number) {
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, ",");
    }
    return digits;
}

} // namespace

std::string ProgressLine::Text(std::size_t done, std::size_t total) {
    return "converted " + WithThousands(done) + " of " + WithThousands(total) + " pages";
}

void ProgressLine::Show(std::size_t done, std::size_t total) {
    const std::string text = Text(done, total);
    // Spaces cover what is left of a longer line drawn before.
    m_Terminal << ("\r" + text + std::string(m_Width - std::min(m_Width, text.size()), ' '))
               << std::flush;
    m_Width = std::max(m_Width, text.size());
}

void ProgressLine::Clear() {
    if (m_Width > 0) {
        m_Terminal << ("\r" + std::string(m_Width, ' ') + "\r") << std::flush;
        m_Width = 0;
    }
}

} // namespace quillomatic
