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
// lost either way. A page file that starts with a UTF-16 byte-order mark is
// read as UTF-16 and becomes UTF-8 on the way in (see PageReader).
enum class TextEncoding { UTF8, Windows1252 };

// Says whether a page's bytes, given in pieces cut anywhere, are valid UTF-8:
// no stray or missing continuation byte, no overlong form, no surrogate,
// nothing above U+10FFFF; and whether they are all ASCII.
class Utf8Check {
public:
    void Add(std::string_view piece);
    [[nodiscard]] bool IsValid() const noexcept { return m_Valid && m_Needed == 0; }
    // No byte of 0x80 or above so far.
    [[nodiscard]] bool IsAscii() const noexcept { return m_Ascii; }
    // How a file of these bytes is read.
    [[nodiscard]] TextEncoding ReadAs() const noexcept {
        return IsValid() ? TextEncoding::UTF8 : TextEncoding::Windows1252;
    }

private:
    bool m_Valid = true;
    bool m_Ascii = true;
    int m_Needed = 0;              // continuation bytes still due
    unsigned char m_Lowest = 0x80; // the range of the next continuation byte
    unsigned char m_Highest = 0xBF;
};

// Writes the UTF-8 form of the character `c` (at most U+10FFFF, not a
// surrogate) at `out`, and returns the end of what it wrote: 1 to 4 bytes.
constexpr char* AppendUtf8(char32_t c, char* out) noexcept {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
        return out;
    }
    const int continuations = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    const char32_t lead = continuations == 1 ? 0xC0 : continuations == 2 ? 0xE0 : 0xF0;
    *out++ = static_cast<char>(lead | (c >> (6 * continuations)));
    for (int k = continuations - 1; k >= 0; --k) {
        *out++ = static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    }
    return out;
}

// How a file of these bytes is read.
[[nodiscard]] TextEncoding EncodingOf(std::string_view bytes);
// The text the bytes stand for, read as `encoding`.
[[nodiscard]] std::string TextOf(std::string bytes, TextEncoding encoding);

} // namespace quillomatic
