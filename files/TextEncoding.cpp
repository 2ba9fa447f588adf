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

std::size_t AsciiRunLength(std::string_view text) noexcept {
    // 64 bytes at a time (with SSE2, every x86-64 processor's baseline), then
    // eight, then straight to the first byte that is not ASCII.
    const char* const start = text.data();
    const char* byte = start;
    const char* const end = start + text.size();
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
            return static_cast<std::size_t>(byte - start);
        }
        byte += 8;
    }
    while (byte != end && static_cast<unsigned char>(*byte) < 0x80) {
        ++byte;
    }
    return static_cast<std::size_t>(byte - start);
}

void Utf8Check::Add(std::string_view piece) {
    const auto* byte = reinterpret_cast<const unsigned char*>(piece.data());
    const auto* const end = byte + piece.size();
    while (m_Valid && byte != end) {
        if (m_Needed > 0) {
            m_Valid = m_Lead.Allows(m_Lead.Length - m_Needed, *byte);
            --m_Needed;
            ++byte;
            continue;
        }
        byte += AsciiRunLength(
            {reinterpret_cast<const char*>(byte), static_cast<std::size_t>(end - byte)});
        if (byte == end) {
            break;
        }
        m_Ascii = false; // for good: only such a byte can make the page invalid
        const Utf8Lead lead = Utf8LeadOf(*byte++);
        if (lead.Length == 0) {
            m_Valid = false;
            break;
        }
        const int needed = lead.Length - 1;
        if (end - byte < needed) {
            m_Lead = lead;
            m_Needed = needed;
            continue;
        }
        // A character whole in the piece is checked in one go.
        bool valid = lead.Allows(1, byte[0]);
        for (int k = 2; k <= needed; ++k) {
            valid = valid && lead.Allows(k, byte[k - 1]);
        }
        m_Valid = valid;
        byte += needed;
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
