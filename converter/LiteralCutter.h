// Cuts the statements of over-long lines into pieces a language accepts.
#pragma once

#include "MethodSplitter.h"
#include "ScriptSink.h"
#include "TargetFormat.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace quillomatic {

// Stands between the translator and the script for a format with a literal
// limit (see TargetFormat): the statements pass through unchanged, but for
// one whose escaped line is longer than the limit. That line is cut, before
// escaping, into pieces: greedily from the left, each the longest whose own
// escaped form is at most the limit, except that a cut never falls just
// before a byte 0x80-0xBF (inside a UTF-8 character) and moves back up to
// three characters to avoid that. Each piece is escaped on its own: a pattern
// cut in two ("%" | ">") is escaped in neither piece. All pieces but the last
// are printed by the format's PieceOpener and PieceCloser, the last by its
// usual statement, all on the line's one line of the script. Every statement
// and piece is counted on its way to the script, for a format that bounds
// the code of a method (see MethodSplitter).
//
// The statements are read back from the translator's output: content never
// holds a line end, and the format's escapes read unambiguously left to right
// (its prefix character is itself escaped). Escaping makes each character
// one unit of the escaped text, which a cut never splits, and a unit costs in
// a piece just the bytes it takes; so a piece ends at the last unit boundary
// before the limit, found by reading the units of a few bytes before it from
// a byte that is a unit of its own. A long line is cut as it comes, so a line
// of any length is held only a piece at a time, and it is read once for its
// end and copied once.
class LiteralCutter : public ScriptSink {
public:
    LiteralCutter(const TargetFormat& format, LineEnds lineEnds, ScriptSink& next);

    [[nodiscard]] char* Room(std::size_t more) override;
    void EndAt(const char* end) override;
    // Every whole statement is passed on as soon as it is seen to be whole.
    void PassOn() override { m_Next.PassOn(); }
    // Passes on the rest: every statement is whole by now.
    void Finish();

private:
    // One escaped character of a line, or a pattern's replacement.
    struct Unit {
        std::size_t Bytes = 0;
        const EscapeRule* Pattern = nullptr;
    };

    void Process(bool atEnd);
    // In a long line: emits each piece once it is known; false while more
    // bytes are needed.
    bool CutPieces();
    // Emits the piece whose escaped text would end at `target` but for the
    // rules above.
    void CutBefore(std::size_t target);
    // The unit that starts at `at`, inside a statement's content, with the
    // look-ahead held.
    [[nodiscard]] Unit UnitAt(std::size_t at) const;
    void EmitPiece(std::size_t end, std::string_view tail, std::string_view opener,
                   std::string_view closer);

    const TargetFormat& m_Format;
    std::string m_StatementEnd; // closer and line break
    ScriptSink& m_Next;
    MethodSplitter m_Methods;
    std::array<char, 256> m_Prefixed;   // the prefix each character takes, or 0
    std::vector<EscapeRule> m_Patterns; // the format's longer patterns
    std::size_t m_LongestUnit = 2;
    std::size_t m_LookAhead;         // bytes enough to tell what a unit is, or a statement's end
    std::array<bool, 256> m_Alone{}; // bytes never part of a longer unit
    std::string m_Held;
    std::size_t m_Length = 0;   // bytes written into m_Held
    std::size_t m_Position = 0; // first byte not passed on, or not looked at for a line end
    bool m_InLongLine = false;
    // In a long line: the start of the current piece, whether a piece of the
    // line is written, and the pattern bytes a cut left for the piece to
    // begin with.
    std::size_t m_PieceStart = 0;
    bool m_LineStarted = false;
    std::string m_Carried;
};

} // namespace quillomatic
