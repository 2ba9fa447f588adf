// How the bytes of a file stand for text: UTF-8, or else Windows-1252.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillomatic {

// Texts in memory are UTF-8. A file is read as UTF-8 when every one of its
// bytes is valid UTF-8, a leading byte-order mark included (kept as the
// character U+FEFF, so the bytes come back); otherwise, whole, as Windows-1252,
// which gives every byte a character of its own (see CodePage1252). Nothing is
// lost either way.
enum class TextEncoding { UTF8, Windows1252 };

// Says whether a page's bytes, given in pieces cut anywhere, are valid UTF-8:
// no stray or missing continuation byte, no overlong form, no surrogate,
// nothing above U+10FFFF.
class Utf8Check {
public:
    void Add(std::string_view piece);
    [[nodiscard]] bool IsValid() const noexcept { return m_Valid && m_Needed == 0; }

private:
    bool m_Valid = true;
    int m_Needed = 0;              // continuation bytes still due
    unsigned char m_Lowest = 0x80; // the range of the next continuation byte
    unsigned char m_Highest = 0xBF;
};

// How a file of these bytes is read.
[[nodiscard]] TextEncoding EncodingOf(std::string_view bytes);
// The text the bytes stand for, read as `encoding`.
[[nodiscard]] std::string TextOf(std::string bytes, TextEncoding encoding);

} // namespace quillomatic
