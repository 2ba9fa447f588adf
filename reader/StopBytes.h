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
// one (see ScriptLexer), followed by kPadding bytes that may be read.
class StopBytes {
public:
    // Bytes looked for besides NUL.
    static constexpr std::size_t kMost = 6;
    static constexpr std::size_t kPadding = 16;

    explicit StopBytes(std::string_view bytes) {
        m_Table[0] = true;
        for (std::size_t i = 0; i < kNeedles; ++i) {
            const char byte = i >= 1 && i <= bytes.size() && i <= kMost ? bytes[i - 1] : '\0';
            m_Table[static_cast<unsigned char>(byte)] = true;
#if defined(__SSE2__)
            m_Needles[i] = _mm_set1_epi8(byte);
#endif
        }
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
            if (const int mask = _mm_movemask_epi8(hits); mask != 0) {
                return from + __builtin_ctz(static_cast<unsigned>(mask));
            }
            from += 16;
        }
#else
        while (!Stops(*from)) {
            ++from;
        }
        return from;
#endif
    }

private:
    static constexpr std::size_t kNeedles = kMost + 1; // NUL first

    std::array<bool, 256> m_Table{};
#if defined(__SSE2__)
    __m128i m_Needles[kNeedles] = {};
#endif
};

} // namespace quillomatic
