// Pages in UTF-16, for the tests of how UTF-16 pages are read.
#pragma once

#include <bit>
#include <string>
#include <string_view>

namespace quillomatic::testing {

// The bytes of UTF-16 code units, any of them, paired or not, in `order`.
inline std::string Utf16Bytes(std::u16string_view units, std::endian order) {
    std::string bytes;
    for (const char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += order == std::endian::big ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// A page of the characters of `utf8` (valid UTF-8) as a UTF-16 file: a
// byte-order mark, then the characters in `order`.
inline std::string Utf16Page(std::string_view utf8, std::endian order) {
    std::u16string units = u"\uFEFF";
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k) {
            c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        }
        i += length;
        if (c >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    return Utf16Bytes(units, order);
}

} // namespace quillomatic::testing
