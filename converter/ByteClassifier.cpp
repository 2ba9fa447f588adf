// Finds the bytes of a page that need more than copying, 64 at a time.
#include "ByteClassifier.h"

#include <algorithm>
#include <cassert>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillomatic {
namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

ByteClassifier::ByteClassifier(const std::array<char, 256>& prefixOf,
                               std::span<const EscapeRule> patterns) {
    m_Prefixed.fill('\n');
    std::size_t prefixed = 0;
    for (std::size_t value = 0; value < prefixOf.size(); ++value) {
        if (prefixOf[value] != 0) {
            assert(prefixed < m_Prefixed.size());
            m_Prefixed[prefixed++] = static_cast<char>(value);
        }
    }
    for (const char c : m_Prefixed) {
        m_IsEvent[static_cast<unsigned char>(c)] = true;
    }
    m_IsEvent['\r'] = true;
    m_IsEvent['\n'] = true;
    for (const EscapeRule& rule : patterns) {
        PatternFilter filter;
        filter.Characters.fill(char(0xFF));
        filter.FoldMasks.fill(char(0xFF));
        for (std::size_t i = 0; i < std::min(rule.Pattern.size(), kFilterLength); ++i) {
            const char c = rule.Pattern[i];
            assert(c != '\n' && c != '\r');
            const bool fold = rule.IgnoreCase && IsAsciiLetter(c);
            filter.FoldMasks[i] = fold ? char(0x20) : char(0);
            filter.Characters[i] = fold ? char(c | 0x20) : c;
        }
        m_Filters.push_back(filter);
    }
}

void ByteClassifier::ClassifyPortably(const char* chunks, std::size_t count,
                                      ChunkMasks* masks) const noexcept {
    for (std::size_t chunk = 0; chunk < count; ++chunk) {
        const char* bytes = chunks + chunk * kChunk;
        ChunkMasks chunkMasks;
        for (std::size_t i = 0; i < kChunk; ++i) {
            const std::uint64_t bit = std::uint64_t(1) << i;
            bool isEvent = m_IsEvent[static_cast<unsigned char>(bytes[i])];
            for (const PatternFilter& filter : m_Filters) {
                bool matches = true;
                for (std::size_t k = 0; k < kFilterLength; ++k) {
                    matches =
                        matches && char(bytes[i + k] | filter.FoldMasks[k]) == filter.Characters[k];
                }
                isEvent = isEvent || matches;
            }
            chunkMasks.Events |= isEvent ? bit : 0;
            chunkMasks.CrBeforeLf |= bytes[i] == '\r' && bytes[i + 1] == '\n' ? bit : 0;
        }
        masks[chunk] = chunkMasks;
    }
}

#if defined(__SSE2__)

namespace {

__m128i Load(const char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

std::uint64_t Bits(__m128i comparison) {
    return static_cast<std::uint16_t>(_mm_movemask_epi8(comparison));
}

// The bytes of `bytes` that equal any of four values, as 0xFF.
__m128i EqualsAny(__m128i bytes, const __m128i (&values)[4]) {
    return _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, values[0]), _mm_cmpeq_epi8(bytes, values[1])),
        _mm_or_si128(_mm_cmpeq_epi8(bytes, values[2]), _mm_cmpeq_epi8(bytes, values[3])));
}

// The filters as compared: each character and fold mask spread over a register.
struct FastFilter {
    __m128i Characters[3];
    __m128i FoldMasks[3];
};

// The masks of the chunks against the prefixed bytes and `kFilters` filters,
// the count known to the compiler so that every value stays in a register.
// With `kThird` false no filter looks at a third character: each is a
// pattern of two, which any byte there matches.
template <std::size_t kFilters, bool kThird>
void ClassifyChunks(const char* chunks, std::size_t count, const __m128i (&prefixed)[4],
                    const FastFilter* filters, ChunkMasks* masks) noexcept {
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    for (std::size_t chunk = 0; chunk < count; ++chunk) {
        const char* bytes = chunks + chunk * ByteClassifier::kChunk;
        ChunkMasks chunkMasks;
        for (std::size_t part = 0; part < ByteClassifier::kChunk; part += 16) {
            const __m128i here = Load(bytes + part);
            const __m128i next = Load(bytes + part + 1);
            const __m128i carriageReturns = _mm_cmpeq_epi8(here, carriageReturn);
            __m128i events =
                _mm_or_si128(_mm_or_si128(carriageReturns, _mm_cmpeq_epi8(here, lineFeed)),
                             EqualsAny(here, prefixed));
            for (std::size_t f = 0; f < kFilters; ++f) {
                const FastFilter& filter = filters[f];
                __m128i match = _mm_and_si128(
                    _mm_cmpeq_epi8(_mm_or_si128(here, filter.FoldMasks[0]), filter.Characters[0]),
                    _mm_cmpeq_epi8(_mm_or_si128(next, filter.FoldMasks[1]), filter.Characters[1]));
                if constexpr (kThird) {
                    match = _mm_and_si128(match, _mm_cmpeq_epi8(_mm_or_si128(Load(bytes + part + 2),
                                                                             filter.FoldMasks[2]),
                                                                filter.Characters[2]));
                }
                events = _mm_or_si128(events, match);
            }
            chunkMasks.Events |= Bits(events) << part;
            chunkMasks.CrBeforeLf |=
                Bits(_mm_and_si128(carriageReturns, _mm_cmpeq_epi8(next, lineFeed))) << part;
        }
        masks[chunk] = chunkMasks;
    }
}

} // namespace

void ByteClassifier::Classify(const char* chunks, std::size_t count,
                              ChunkMasks* masks) const noexcept {
    // Every value compared with is spread over a register once, here.
    const __m128i prefixed[4] = {_mm_set1_epi8(m_Prefixed[0]), _mm_set1_epi8(m_Prefixed[1]),
                                 _mm_set1_epi8(m_Prefixed[2]), _mm_set1_epi8(m_Prefixed[3])};
    constexpr std::size_t kFastFilters = 2;
    FastFilter filters[kFastFilters] = {};
    static_assert(std::size(FastFilter{}.Characters) == kFilterLength);
    const std::size_t filterCount = std::min(m_Filters.size(), kFastFilters);
    bool third = false;
    for (std::size_t f = 0; f < filterCount; ++f) {
        for (std::size_t k = 0; k < kFilterLength; ++k) {
            filters[f].Characters[k] = _mm_set1_epi8(m_Filters[f].Characters[k]);
            filters[f].FoldMasks[k] = _mm_set1_epi8(m_Filters[f].FoldMasks[k]);
        }
        third = third || m_Filters[f].FoldMasks[2] != char(0xFF);
    }
    using Chunks = void (*)(const char*, std::size_t, const __m128i(&)[4], const FastFilter*,
                            ChunkMasks*) noexcept;
    constexpr Chunks kByFilters[2][kFastFilters + 1] = {
        {ClassifyChunks<0, false>, ClassifyChunks<1, false>, ClassifyChunks<2, false>},
        {ClassifyChunks<0, true>, ClassifyChunks<1, true>, ClassifyChunks<2, true>}};
    kByFilters[third][filterCount](chunks, count, prefixed, filters, masks);
    // A third pattern and more are rare enough to be looked for a byte at a time.
    if (m_Filters.size() > kFastFilters) {
        for (std::size_t chunk = 0; chunk < count; ++chunk) {
            ChunkMasks portable;
            ClassifyPortably(chunks + chunk * kChunk, 1, &portable);
            masks[chunk].Events |= portable.Events;
        }
    }
}

#else

void ByteClassifier::Classify(const char* chunks, std::size_t count,
                              ChunkMasks* masks) const noexcept {
    ClassifyPortably(chunks, count, masks);
}

#endif

} // namespace quillomatic
