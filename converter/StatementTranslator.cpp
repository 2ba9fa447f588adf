// Turns a page's bytes into the bytes of its statements, whole buffers at a time.
#include "StatementTranslator.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

namespace quillomatic {
namespace {

constexpr std::size_t kChunk = ByteClassifier::kChunk;

// Chunks translated between two requests for output room: few enough that the
// room for their worst case stays well inside the script's buffer.
constexpr std::size_t kBatchChunks = 64;

// Runs are copied kRunStep bytes at a time, so a copy may read and write up to
// kRunStep - 1 bytes past its end; chunks are only translated in place where
// such reads stay inside the piece.
constexpr std::size_t kRunStep = 64;
constexpr std::size_t kReadPast = std::max(kRunStep, ByteClassifier::kLookAhead);
// Output written past the end of what is kept, by a run or a replacement.
constexpr std::size_t kWritePast = 2 * kRunStep;

// Copies [from, to) to `out`, in steps that may overshoot both ends. Most runs
// between two events are shorter than one step, so this rarely loops.
char* CopyRun(char* out, const char* from, const char* to) {
    const auto length = static_cast<std::size_t>(to - from);
    std::memcpy(out, from, kRunStep);
    for (std::size_t copied = kRunStep; copied < length; copied += kRunStep) {
        std::memcpy(out + copied, from + copied, kRunStep);
    }
    return out + length;
}

// The low `count` bits set, all 64 from 64 on.
std::uint64_t LowBits(std::size_t count) {
    return count >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << count) - 1;
}

// The number of set bits. std::popcount needs an instruction that is not in
// the x86-64 baseline and becomes a library call without it.
int CountBits(std::uint64_t bits) {
    bits -= (bits >> 1) & 0x5555555555555555ULL;
    bits = (bits & 0x3333333333333333ULL) + ((bits >> 2) & 0x3333333333333333ULL);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((bits * 0x0101010101010101ULL) >> 56);
}

// Appends the positions of the set bits of `bits`, plus `base`, to `positions`,
// which has room for 16 more than there are bits. Eight are written without
// looking how many there are: markup rarely has more in 64 bytes, and a loop
// that ran once per bit would guess wrong about its end for every chunk.
// The lowest set bit of `bits`, 63 when there is none. Setting the top bit
// first tells the compiler the word is never zero, which spares the test for it.
std::uint32_t LowestBit(std::uint64_t bits) {
    return static_cast<std::uint32_t>(std::countr_zero(bits | (std::uint64_t(1) << 63)));
}

std::uint32_t* AppendPositions(std::uint64_t bits, std::uint32_t base, std::uint32_t* positions) {
    const int count = CountBits(bits);
#pragma GCC unroll 8
    for (int i = 0; i < 8; ++i) {
        positions[i] = base + LowestBit(bits);
        bits &= bits - 1;
    }
    if (count > 8) [[unlikely]] {
        for (int i = 8; i < count; ++i) {
            positions[i] = base + LowestBit(bits);
            bits &= bits - 1;
        }
    }
    return positions + count;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool MatchesAt(const EscapeRule& rule, const char* at, const char* end) {
    if (static_cast<std::size_t>(end - at) < rule.Pattern.size()) {
        return false;
    }
    for (std::size_t i = 0; i < rule.Pattern.size(); ++i) {
        const char expected = rule.Pattern[i];
        if (rule.IgnoreCase ? LowerAscii(at[i]) != LowerAscii(expected) : at[i] != expected) {
            return false;
        }
    }
    return true;
}

// Length of the line end the page closes with (CR LF, LF, CR or none): it ends
// the last statement and begins no further one.
std::size_t FinalLineEndLength(const char* begin, const char* end) {
    if (begin == end) {
        return 0;
    }
    if (end[-1] == '\n') {
        return end - begin >= 2 && end[-2] == '\r' ? 2 : 1;
    }
    return end[-1] == '\r' ? 1 : 0;
}

} // namespace

StatementTranslator::StatementTranslator(const TargetFormat& format, LineEnds lineEnds)
    : m_Classifier(format.Prefixes(), format.Patterns()), m_Opener(format.Opener),
      m_LineBreak(std::string(format.Closer) + std::string(LineBreak(lineEnds)) +
                  std::string(format.Opener)),
      m_LastEnd(std::string(format.Closer) + std::string(LineBreak(lineEnds))),
      m_Patterns(format.Patterns()) {
    const std::array<char, 256> prefixOf = format.Prefixes();
    const auto setReplacement = [this](char byte, std::string_view bytes) {
        const auto index = static_cast<unsigned char>(byte);
        std::memcpy(m_Replacements[index].Bytes.data(), bytes.data(),
                    std::min(bytes.size(), kStoredReplacement));
        m_ReplacementLength[index] = static_cast<std::uint16_t>(bytes.size());
    };
    for (std::size_t value = 0; value < prefixOf.size(); ++value) {
        if (prefixOf[value] != 0) {
            const char replacement[] = {prefixOf[value], static_cast<char>(value)};
            setReplacement(replacement[1], {replacement, 2});
        }
    }
    setReplacement('\n', m_LineBreak);
    setReplacement('\r', m_LineBreak);
    m_MostPerByte = std::max<std::size_t>(2, m_LineBreak.size());
    for (const EscapeRule& rule : m_Patterns) {
        const char first = rule.Pattern[0];
        m_StartsPattern[static_cast<unsigned char>(first)] = true;
        if (rule.IgnoreCase && LowerAscii(first) != first) {
            m_StartsPattern[static_cast<unsigned char>(LowerAscii(first))] = true;
        } else if (rule.IgnoreCase && first >= 'a' && first <= 'z') {
            m_StartsPattern[static_cast<unsigned char>(first - 'a' + 'A')] = true;
        }
        m_HoldBack = std::max(m_HoldBack, rule.Pattern.size() - 1);
        m_MostPerByte =
            std::max(m_MostPerByte, (rule.Replacement.size() + rule.Replaced - 1) / rule.Replaced);
    }
}

std::size_t StatementTranslator::RoomFor(std::size_t bytes) const noexcept {
    // A pattern found near the end may take up to HoldBack() bytes more.
    return (bytes + m_HoldBack) * m_MostPerByte + kWritePast;
}

// First the events of all the chunks are listed, then each is translated: the
// bytes since the last event are copied as one run, and the event's
// replacement (a prefix and the byte, or a line break) is stored from a table,
// with no branch on which kind it is. A CR LF moves past both bytes.
StatementTranslator::Position
StatementTranslator::TranslateChunks(const char* chunks, std::size_t count, const char* stop,
                                     const char* end, std::uint64_t& crCarry, Position at) const {
    assert(count <= kBatchChunks);
    std::array<ChunkMasks, kBatchChunks> masks;
    m_Classifier.Classify(chunks, count, masks.data());
    std::array<std::uint32_t, kBatchChunks * kChunk + 16> positions;
    std::uint32_t* listed = positions.data();
    const auto wanted = static_cast<std::size_t>(stop - chunks);
    for (std::size_t chunk = 0; chunk < count; ++chunk) {
        // The LF of a CR LF is no event of its own: its CR writes the line break.
        const std::uint64_t lfAfterCr = (masks[chunk].CrBeforeLf << 1) | crCarry;
        crCarry = masks[chunk].CrBeforeLf >> 63;
        const std::size_t offset = chunk * kChunk;
        const std::uint64_t events =
            masks[chunk].Events & ~lfAfterCr & LowBits(wanted > offset ? wanted - offset : 0);
        listed = AppendPositions(events, static_cast<std::uint32_t>(offset), listed);
    }

    const char* cursor = at.Cursor;
    char* out = at.Out;
    for (const std::uint32_t* position = positions.data(); position != listed; ++position) {
        const char* const event = chunks + *position;
        const auto byte = static_cast<unsigned char>(*event);
        if (m_StartsPattern[byte]) [[unlikely]] {
            const Position after = TranslateSpecial(event, end, {cursor, out});
            cursor = after.Cursor;
            out = after.Out;
            continue;
        }
        out = CopyRun(out, cursor, event);
        std::memcpy(out, m_Replacements[byte].Bytes.data(), kStoredReplacement);
        const std::size_t length = m_ReplacementLength[byte];
        if (length > kStoredReplacement) [[unlikely]] {
            std::memcpy(out, m_LineBreak.data(), length);
        }
        out += length;
        cursor = event + 1 + ((byte == '\r') & (event[1] == '\n'));
    }
    return {cursor, out};
}

// A place where a pattern may start: the first pattern that matches there is
// written as its replacement; where none does, the byte is copied like any other.
StatementTranslator::Position
StatementTranslator::TranslateSpecial(const char* event, const char* end, Position at) const {
    if (event < at.Cursor) {
        return at; // inside what a pattern just replaced
    }
    at.Out = CopyRun(at.Out, at.Cursor, event);
    at.Cursor = event;
    for (const EscapeRule& rule : m_Patterns) {
        if (MatchesAt(rule, event, end)) {
            at.Out = ScriptSink::CopyTo(at.Out, rule.Replacement);
            at.Cursor = event + rule.Replaced;
            break;
        }
    }
    return at;
}

// The last bytes before `stop`, too close to `end` to read past: they are
// translated from a zero-padded copy, by the same chunk code. `from` is where
// the chunks stopped; everything before it has been written out.
StatementTranslator::Position StatementTranslator::TranslateTail(const char* from, const char* stop,
                                                                 const char* end,
                                                                 std::uint64_t crCarry, Position at,
                                                                 ScriptSink& script) const {
    assert(at.Cursor >= from && static_cast<std::size_t>(end - from) < kChunk + kReadPast);
    std::array<char, 2 * kChunk + 2 * kReadPast> copy{};
    std::memcpy(copy.data(), from, static_cast<std::size_t>(end - from));
    const auto inCopy = [&](const char* p) { return copy.data() + (p - from); };
    const auto stopIndex = static_cast<std::size_t>(stop - from);
    const std::size_t chunks = (stopIndex + kChunk - 1) / kChunk;
    const Position translated =
        TranslateChunks(copy.data(), chunks, inCopy(stop), inCopy(end), crCarry,
                        {inCopy(at.Cursor), script.Room(RoomFor(stopIndex))});
    at.Cursor = from + (translated.Cursor - copy.data());
    at.Out = translated.Out;
    if (at.Cursor < stop) {
        std::memcpy(at.Out, at.Cursor, static_cast<std::size_t>(stop - at.Cursor));
        at.Out += stop - at.Cursor;
        at.Cursor = stop;
    }
    script.EndAt(at.Out);
    return at;
}

const char* StatementTranslator::Translate(const char* begin, const char* end, bool last,
                                           ScriptSink& script, bool paused) {
    if (begin != end && (!m_Started || m_OpenerDue)) {
        script.Append(m_Opener);
        m_Started = true;
        m_OpenerDue = false;
    } else if (last && m_OpenerDue) {
        return end; // the page ended where a pause had ended its last statement
    }
    const auto size = static_cast<std::size_t>(end - begin);
    // A pause after a line end (not a lone CR, whose LF may follow) ends the
    // statement, as the page's end does.
    const bool endsStatement =
        last || (paused && size != 0 && end[-1] == '\n');
    // Events at or after `stop` are left for the next call, or, when the page
    // ends or pauses here, are its final line end.
    const char* const stop = endsStatement ? end - FinalLineEndLength(begin, end)
                                           : end - std::min(m_HoldBack, size);
    Position at{begin, nullptr};
    std::uint64_t crCarry = 0;
    const char* chunk = begin;
    // Whole chunks while every read stays inside the piece, in batches that
    // each ask once for their worst case of output room.
    while (chunk < stop && static_cast<std::size_t>(end - chunk) >= kChunk + kReadPast) {
        const std::size_t count =
            std::min({kBatchChunks, (static_cast<std::size_t>(end - chunk) - kReadPast) / kChunk,
                      (static_cast<std::size_t>(stop - chunk) + kChunk - 1) / kChunk});
        at.Out = script.Room(RoomFor(count * kChunk));
        at = TranslateChunks(chunk, count, stop, end, crCarry, at);
        chunk += count * kChunk;
        // Write the run pending at the batch's end, so no run spans two batches.
        const char* const runEnd = std::min(chunk, stop);
        if (at.Cursor < runEnd) {
            at.Out = CopyRun(at.Out, at.Cursor, runEnd);
            at.Cursor = runEnd;
        }
        script.EndAt(at.Out);
    }
    if (at.Cursor < stop) {
        at = TranslateTail(chunk, stop, end, crCarry, at, script);
    }
    if (endsStatement) {
        if (m_Started) {
            script.Append(m_LastEnd);
        }
        m_OpenerDue = !last && m_Started;
        return end;
    }
    return std::max(at.Cursor, stop);
}

} // namespace quillomatic
