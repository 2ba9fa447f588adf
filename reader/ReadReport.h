// What a reading left out of the HTML, or put there as a placeholder, line by line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillomatic {

// Every part of a script that the HTML does not hold as the script prints it:
// a statement left out (control flow, a statement that is not a print of
// literals, a CGI header), or a placeholder "{{…}}" standing for what is not
// a literal. Nothing is dropped without an entry here.
class ReadReport {
public:
    struct Entry {
        std::uint64_t Line = 0; // of the script, from 1
        std::string Text;       // one line, without the script's name
    };

    void Add(std::uint64_t line, std::string text);
    void Insert(std::size_t at, std::uint64_t line, std::string text);
    // Drops the entries from `count` on, for a statement read again another way.
    void TruncateTo(std::size_t count);

    [[nodiscard]] std::size_t Size() const noexcept { return m_Entries.size(); }
    [[nodiscard]] bool IsEmpty() const noexcept { return m_Entries.empty(); }
    [[nodiscard]] const std::vector<Entry>& Entries() const noexcept { return m_Entries; }
    // "SCRIPT:LINE: TEXT" for each entry, as compilers report, so that an
    // editor can go to the line.
    [[nodiscard]] std::vector<std::string> Lines(std::string_view script) const;

private:
    std::vector<Entry> m_Entries;
};

} // namespace quillomatic
