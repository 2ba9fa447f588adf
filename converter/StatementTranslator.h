// Turns a page's bytes into the bytes of its statements, whole buffers at a time.
#pragma once

#include "ByteClassifier.h"
#include "ScriptSink.h"
#include "TargetFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillomatic {

// The statements of a page, made straight from its bytes, for every conversion:
// every escape rule is about 7-bit characters (see EscapeRule) and the code page
// gives each byte a character of its own (see CodePage1252), so translating the
// bytes and decoding the statements once gives what escaping the decoded lines
// would give.
//
// The bytes come in pieces of any size. A statement is the format's opener, the
// escaped line, its closer and a line break (CR LF, or LF where asked); a line
// end inside the page becomes closer, line break and the next opener in one go, so the work is per
// escaped byte and per line end, found 64 bytes at a time (see ByteClassifier), never per line.
class StatementTranslator {
public:
    explicit StatementTranslator(const TargetFormat& format, LineEnds lineEnds = LineEnds::CRLF);

    // The bytes at the end of a piece that Translate may leave for the next call:
    // a CR whose LF may follow, the line end that may end the page, the start of a
    // pattern.
    [[nodiscard]] std::size_t HoldBack() const noexcept { return m_HoldBack; }

    // Translates [begin, end), the page's bytes after those of earlier calls, and
    // writes the statements to `script`; `last` says the page ends at `end`.
    // Returns the first byte left untranslated, from which the next call's piece
    // must start: at most HoldBack() bytes before `end`, and `end` itself when
    // `last`. A translator translates one page.
    //
    // With `paused` (the page has nothing more to give at once), a piece that
    // ends with a line end is translated whole, its last statement ended, and
    // the next statement opened only once its first byte comes, so that what
    // the script holds so far is whole statements; the bytes are those the
    // script gets without pauses.
    const char* Translate(const char* begin, const char* end, bool last, ScriptSink& script,
                          bool paused = false);

private:
    // What a fast event writes: the bytes, stored 32 at a time, and their number.
    static constexpr std::size_t kStoredReplacement = 32;
    struct alignas(kStoredReplacement) Replacement {
        std::array<char, kStoredReplacement> Bytes{};
    };

    // Where a translation stands: the first byte not yet written out and the end
    // of the output. Passed by value, so the compiler can keep both in registers
    // while bytes are stored through `Out`.
    struct Position {
        const char* Cursor;
        char* Out;
    };

    // Translates the events before `stop` in `count` chunks from `chunks` on.
    // `crCarry` says the byte before `chunks` was the CR of a CR LF.
    Position TranslateChunks(const char* chunks, std::size_t count, const char* stop,
                             const char* end, std::uint64_t& crCarry, Position at) const;
    Position TranslateSpecial(const char* event, const char* end, Position at) const;
    Position TranslateTail(const char* from, const char* stop, const char* end,
                           std::uint64_t crCarry, Position at, ScriptSink& script) const;
    [[nodiscard]] std::size_t RoomFor(std::size_t bytes) const noexcept;

    ByteClassifier m_Classifier;
    std::array<Replacement, 256> m_Replacements{}; // per byte value, for the fast events
    std::array<std::uint16_t, 256> m_ReplacementLength{};
    std::array<bool, 256> m_StartsPattern{};
    std::string m_Opener;
    std::string m_LineBreak; // closer, line break, opener
    std::string m_LastEnd;   // closer, line break
    std::vector<EscapeRule> m_Patterns;
    std::size_t m_HoldBack = 2;
    std::size_t m_MostPerByte = 2; // most output bytes one input byte may become
    bool m_Started = false;
    bool m_OpenerDue = false; // a pause ended the last statement; the next one is not open yet
};

} // namespace quillomatic
