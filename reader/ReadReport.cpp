// What a reading left out of the HTML, or put there as a placeholder, line by line.
#include "ReadReport.h"

#include "NameQuoting.h"

namespace quillomatic {

void ReadReport::Add(std::uint64_t line, std::string text) {
    m_Entries.push_back({line, std::move(text)});
}

void ReadReport::Insert(std::size_t at, std::uint64_t line, std::string text) {
    m_Entries.insert(m_Entries.begin() + static_cast<std::ptrdiff_t>(at), {line, std::move(text)});
}

void ReadReport::TruncateTo(std::size_t count) {
    if (count < m_Entries.size()) {
        m_Entries.resize(count);
    }
}

std::vector<std::string> ReadReport::Lines(std::string_view script) const {
    std::vector<std::string> lines;
    lines.reserve(m_Entries.size());
    // As compilers name a place: no quotes, unless the name would steer the terminal.
    const std::string name = NameQuoting::Printable(script);
    for (const Entry& entry : m_Entries) {
        lines.push_back(name + ":" + std::to_string(entry.Line) + ": " + entry.Text);
    }
    return lines;
}

} // namespace quillomatic
