// Finds the bytes of a page that need more than copying, 64 at a time.
#pragma once

#include "EscapeRule.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quillomatic {

// One bit per byte of a 64-byte chunk, bit i for byte i.
struct ChunkMasks {
    std::uint64_t Events = 0;     // line ends, bytes that take a prefix, possible pattern starts
    std::uint64_t CrBeforeLf = 0; // CRs followed by an LF, which end one line together
};

// Classifies the bytes of a page against a format's escape rules: CR, LF and the
// bytes that take a prefix are events, and so are the places where one of the
// longer patterns may start, judged by its first three characters (a filter;
// the caller confirms the pattern). Nearly all of a page is copied unchanged;
// knowing where the events are lets it be copied in runs.
//
// On x86-64 sixteen bytes are compared at once with SSE2, every x86-64
// processor's baseline; elsewhere a byte at a time through a table, with the
// same result.
class ByteClassifier {
public:
    static constexpr std::size_t kChunk = 64;
    // Bytes read past the last chunk: the pattern filter looks two bytes ahead,
    // the test for a CR LF one.
    static constexpr std::size_t kLookAhead = 2;

    // `prefixOf`: the character put before each byte, 0 for none (see
    // TargetFormat::Prefixes); `patterns`: the longer patterns, none of which
    // holds a line end.
    ByteClassifier(const std::array<char, 256>& prefixOf, std::span<const EscapeRule> patterns);

    // The masks of `count` chunks from `chunks` on, reading kLookAhead bytes past them.
    void Classify(const char* chunks, std::size_t count, ChunkMasks* masks) const noexcept;
    // The same a byte at a time, on any processor.
    void ClassifyPortably(const char* chunks, std::size_t count, ChunkMasks* masks) const noexcept;

private:
    static constexpr std::size_t kFilterLength = 3;

    // The first characters of a pattern. Each byte is compared after an OR with
    // its fold mask: 0x20 folds an ASCII letter to lower case where the pattern
    // ignores case, and 0xFF, compared with 0xFF, matches any byte past the end
    // of a short pattern.
    struct PatternFilter {
        std::array<char, kFilterLength> Characters{};
        std::array<char, kFilterLength> FoldMasks{};
    };

    std::array<char, kMostPrefixRules> m_Prefixed{}; // unused entries hold LF, an event anyway
    std::vector<PatternFilter> m_Filters;
    std::array<bool, 256> m_IsEvent{};
};

} // namespace quillomatic
