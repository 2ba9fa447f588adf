// How the bytes of a file stand for text: UTF-8, or else Windows-1252.
#include "TextEncoding.h"

#include "CodePage1252.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillomatic {

void Utf8Check::Add(std::string_view piece) {
    const auto* byte = reinterpret_cast<const unsigned char*>(piece.data());
    const auto* const end = byte + piece.size();
    while (m_Valid && byte != end) {
        if (m_Needed > 0) {
            m_Valid = *byte >= m_Lowest && *byte <= m_Highest;
            m_Lowest = 0x80;
            m_Highest = 0xBF;
            --m_Needed;
            ++byte;
            continue;
        }
        // Markup is mostly ASCII: skip it 64 bytes at a time (with SSE2, every
        // x86-64 processor's baseline), then eight, then straight to the first
        // byte that is not.
#if defined(__SSE2__)
        while (end - byte >= 64) {
            const auto* const at = reinterpret_cast<const __m128i*>(byte);
            const __m128i any =
                _mm_or_si128(_mm_or_si128(_mm_loadu_si128(at), _mm_loadu_si128(at + 1)),
                             _mm_or_si128(_mm_loadu_si128(at + 2), _mm_loadu_si128(at + 3)));
            if (_mm_movemask_epi8(any) != 0) {
                break;
            }
            byte += 64;
        }
#endif
        while (end - byte >= 8) {
            std::uint64_t word;
            std::memcpy(&word, byte, 8);
            if (const std::uint64_t high = word & 0x8080808080808080ULL; high != 0) {
                byte += (std::endian::native == std::endian::little ? std::countr_zero(high)
                                                                    : std::countl_zero(high)) /
                        8;
                break;
            }
            byte += 8;
        }
        if (byte == end) {
            break;
        }
        const unsigned char lead = *byte++;
        if (lead < 0x80) {
            continue;
        }
        m_Ascii = false; // for good: only such a byte can make the page invalid
        if (lead >= 0xC2 && lead <= 0xDF) {
            m_Needed = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            m_Needed = 2;
            m_Lowest = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong form
            m_Highest = lead == 0xED ? 0x9F : 0xBF; // no surrogate
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            m_Needed = 3;
            m_Lowest = lead == 0xF0 ? 0x90 : 0x80;  // no overlong form
            m_Highest = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
        } else {
            m_Valid = false;
        }
        // A character whole in the piece is checked in one go.
        if (m_Valid && end - byte >= m_Needed) {
            bool valid = *byte >= m_Lowest && *byte <= m_Highest;
            for (int k = 1; k < m_Needed; ++k) {
                valid = valid && (byte[k] & 0xC0) == 0x80;
            }
            m_Valid = valid;
            byte += m_Needed;
            m_Needed = 0;
            m_Lowest = 0x80;
            m_Highest = 0xBF;
        }
    }
}

TextEncoding EncodingOf(std::string_view bytes) {
    Utf8Check check;
    check.Add(bytes);
    return check.ReadAs();
}

std::string TextOf(std::string bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::UTF8) {
        return bytes;
    }
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    CodePage1252::AppendDecoded(bytes, text);
    return text;
}

} // namespace quillomatic
