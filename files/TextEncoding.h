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

// The rules of UTF-8, which every reader of it here goes by: what the first
// byte of a character says of it, and what the bytes after it may be.
[[nodiscard]] constexpr bool IsUtf8Continuation(unsigned char byte) noexcept {
    return (byte & 0xC0) == 0x80;
}

struct Utf8Lead {
    // The bytes of the character, 1 to 4; 0 for a byte that starts none.
    int Length = 0;
    // The range of its second byte, narrower than a continuation byte's after
    // some first bytes: that rules out overlong forms, surrogates and anything
    // above U+10FFFF.
    unsigned char Lowest = 0x80;
    unsigned char Highest = 0xBF;

    // Whether `byte` may stand `at` bytes after the first (1 to Length - 1).
    [[nodiscard]] constexpr bool Allows(int at, unsigned char byte) const noexcept {
        return at == 1 ? byte >= Lowest && byte <= Highest : IsUtf8Continuation(byte);
    }
};

[[nodiscard]] constexpr Utf8Lead Utf8LeadOf(unsigned char byte) noexcept {
    Utf8Lead lead;
    if (byte < 0x80) {
        lead.Length = 1;
    } else if (byte >= 0xC2 && byte <= 0xDF) {
        lead.Length = 2;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        lead.Length = 3;
        lead.Lowest = byte == 0xE0 ? 0xA0 : 0x80;  // no overlong form
        lead.Highest = byte == 0xED ? 0x9F : 0xBF; // no surrogate
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        lead.Length = 4;
        lead.Lowest = byte == 0xF0 ? 0x90 : 0x80;  // no overlong form
        lead.Highest = byte == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    }
    return lead;
}

// The length of the valid UTF-8 character at the start of `text` (not
// empty), 1 to 4 bytes, with the character in `c`; 0 where no valid
// character starts there, `c` then left as it may be.
[[nodiscard]] constexpr std::size_t DecodeUtf8(std::string_view text, char32_t& c) noexcept {
    const auto byte = [&](int k) { return static_cast<unsigned char>(text[std::size_t(k)]); };
    const Utf8Lead lead = Utf8LeadOf(byte(0));
    if (lead.Length == 0 || text.size() < std::size_t(lead.Length)) {
        return 0;
    }
    if (lead.Length == 1) {
        c = byte(0);
        return 1;
    }
    if (!lead.Allows(1, byte(1))) {
        return 0;
    }
    c = char32_t(byte(0) & (0x7Fu >> lead.Length)) << 6 | (byte(1) & 0x3Fu);
    for (int k = 2; k < lead.Length; ++k) {
        if (!lead.Allows(k, byte(k))) {
            return 0;
        }
        c = c << 6 | (byte(k) & 0x3Fu);
    }
    return std::size_t(lead.Length);
}

// How many bytes at the start of `text` are ASCII (below 0x80): markup is
// mostly ASCII, and whatever reads or checks text here skips such a run whole.
[[nodiscard]] std::size_t AsciiRunLength(std::string_view text) noexcept;

// Says whether a page's bytes, given in pieces cut anywhere, are valid UTF-8
// (see Utf8Lead), and whether they are all ASCII.
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
    Utf8Lead m_Lead;  // of the character a piece's end cut
    int m_Needed = 0; // its bytes still due
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
