// The bytes a scan through a literal stops at, looked for 16 at a time.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillomatic {

// Most of a literal is bytes that print as they are; the few that need a
// look (its quote, a backslash, a line end) are found with SSE2, every
// x86-64 processor's baseline, sixteen bytes at a time, and elsewhere a
// byte at a time. NUL is always one of them: the reader's buffer ends with
// one (see ScriptLexer), followed by kPadding bytes that may be read. A byte
// that needs a look only before another (the "<" of "</script" in markup,
// which holds a "<" every few bytes) is a stop only there, or where the
// bytes read so far end after it.
class StopBytes {
public:
    // Bytes looked for besides NUL.
    static constexpr std::size_t kMost = 6;
    static constexpr std::size_t kPadding = 16;

    // `pair`: two bytes that together are a stop, as "</".
    explicit StopBytes(std::string_view bytes, std::string_view pair = {})
        : m_PairFirst(pair.size() == 2 ? pair[0] : '\0'),
          m_PairSecond(pair.size() == 2 ? pair[1] : '\0') {
        m_Table[0] = true;
        for (std::size_t i = 0; i < kNeedles; ++i) {
            const char byte = i >= 1 && i <= bytes.size() && i <= kMost ? bytes[i - 1] : '\0';
            m_Table[static_cast<unsigned char>(byte)] = true;
#if defined(__SSE2__)
            m_Needles[i] = _mm_set1_epi8(byte);
#endif
        }
#if defined(__SSE2__)
        m_PairNeedles[0] = _mm_set1_epi8(m_PairFirst);
        m_PairNeedles[1] = _mm_set1_epi8(m_PairSecond);
#endif
    }

    [[nodiscard]] bool Stops(char byte) const noexcept {
        return m_Table[static_cast<unsigned char>(byte)];
    }

    // The first stop byte at or after `from`.
    [[nodiscard]] const char* Find(const char* from) const noexcept {
#if defined(__SSE2__)
        for (;;) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
            __m128i hits = _mm_cmpeq_epi8(chunk, m_Needles[0]);
#pragma GCC unroll 8
            for (std::size_t i = 1; i < kNeedles; ++i) {
                hits = _mm_or_si128(hits, _mm_cmpeq_epi8(chunk, m_Needles[i]));
            }
            if (m_PairFirst != '\0') {
                const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 1));
                const __m128i second = _mm_or_si128(_mm_cmpeq_epi8(next, m_PairNeedles[1]),
                                                    _mm_cmpeq_epi8(next, m_Needles[0]));
                hits = _mm_or_si128(
                    hits, _mm_and_si128(_mm_cmpeq_epi8(chunk, m_PairNeedles[0]), second));
            }
            if (const int mask = _mm_movemask_epi8(hits); mask != 0) {
                return from + __builtin_ctz(static_cast<unsigned>(mask));
            }
            from += 16;
        }
#else
        while (!Stops(*from) && (m_PairFirst == '\0' || *from != m_PairFirst ||
                                 (from[1] != m_PairSecond && from[1] != '\0'))) {
            ++from;
        }
        return from;
#endif
    }

private:
    static constexpr std::size_t kNeedles = kMost + 1; // NUL first

    std::array<bool, 256> m_Table{};
    char m_PairFirst;
    char m_PairSecond;
#if defined(__SSE2__)
    __m128i m_Needles[kNeedles] = {};
    __m128i m_PairNeedles[2] = {};
#endif
};

} // namespace quillomatic
