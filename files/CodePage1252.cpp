// Windows-1252, the code page of the files that are neither UTF-8 nor UTF-16.
#include "CodePage1252.h"

#include "TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace quillomatic {
namespace {

// Characters of the bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr std::array<char32_t, 32> kUpperControlRow = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t CharacterOfByte(unsigned byte) {
    return byte >= 0x80 && byte < 0xA0 ? kUpperControlRow[byte - 0x80] : char32_t(byte);
}

struct Utf8Form {
    std::array<char, 3> bytes{};
    std::uint8_t length = 0;
};

constexpr Utf8Form ToUtf8(char32_t c) {
    Utf8Form form;
    form.length = static_cast<std::uint8_t>(AppendUtf8(c, form.bytes.data()) - form.bytes.data());
    return form;
}

constexpr std::array<Utf8Form, 256> kDecodeTable = [] {
    std::array<Utf8Form, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        table[byte] = ToUtf8(CharacterOfByte(byte));
    }
    return table;
}();

constexpr char kUnmappable = '?';

// The byte of a character, or '?' where Windows-1252 has none.
char ByteOfCharacter(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return char(c);
    }
    for (unsigned i = 0; i < kUpperControlRow.size(); ++i) {
        if (kUpperControlRow[i] == c) {
            return char(0x80 + i);
        }
    }
    return kUnmappable;
}

} // namespace

namespace CodePage1252 {

void AppendDecoded(std::string_view bytes, std::string& utf8) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t run = AsciiRunLength(bytes.substr(i));
        utf8.append(bytes.data() + i, run);
        i += run;
        for (; i < bytes.size() && static_cast<unsigned char>(bytes[i]) >= 0x80; ++i) {
            const Utf8Form& form = kDecodeTable[static_cast<unsigned char>(bytes[i])];
            utf8.append(form.bytes.data(), form.length);
        }
    }
}

char* EncodeTo(std::string_view utf8, char* out) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t run = AsciiRunLength(utf8.substr(i));
        std::memcpy(out, utf8.data() + i, run);
        out += run;
        i += run;
        while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) >= 0x80) {
            char32_t c = 0;
            const std::size_t length = DecodeUtf8({utf8.data() + i, utf8.size() - i}, c);
            if (length == 0) {
                *out++ = kUnmappable;
                ++i;
            } else {
                *out++ = ByteOfCharacter(c);
                i += length;
            }
        }
    }
    return out;
}

void AppendEncoded(std::string_view utf8, std::string& bytes) {
    const std::size_t start = bytes.size();
    bytes.resize(start + utf8.size());
    bytes.resize(static_cast<std::size_t>(EncodeTo(utf8, bytes.data() + start) - bytes.data()));
}

bool CanEncode(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        i += AsciiRunLength(utf8.substr(i));
        if (i == utf8.size()) {
            break;
        }
        char32_t c = 0;
        const std::size_t length = DecodeUtf8({utf8.data() + i, utf8.size() - i}, c);
        if (length == 0 || ByteOfCharacter(c) == kUnmappable) {
            return false;
        }
        i += length;
    }
    return true;
}

std::size_t SafeCut(std::string_view utf8, std::size_t end) {
    if (end >= utf8.size()) {
        return utf8.size();
    }
    // A character is at most four bytes: look back three for its first byte.
    for (std::size_t back = 1; back <= 3 && back <= end; ++back) {
        const auto byte = static_cast<unsigned char>(utf8[end - back]);
        if (!IsUtf8Continuation(byte)) {
            // A byte that starts no character stands alone.
            const auto length = static_cast<std::size_t>(std::max(Utf8LeadOf(byte).Length, 1));
            return end - back + length > end ? end - back : end;
        }
    }
    return end;
}

} // namespace CodePage1252
} // namespace quillomatic
