// Reads a Perl script back into the HTML it prints.
#pragma once

#include "ScriptLexer.h"

#include <cstdint>
#include <vector>

namespace quillomatic {

// "print" and "print STDOUT", with a list or "." between literals; "…", '…',
// qq and q with any delimiter (brackets nest); heredocs <<"X", <<'X', <<X and
// <<~X, whose bodies follow the line; every escape of a double-quoted string,
// \U \L \Q \E \u \l among them, and "$name", "${…}" and "@name" as
// placeholders; "#" comments, POD, and nothing after __END__ or __DATA__.
// A CGI header that the script prints first is left out (see ScriptLexer).
//
// Perl prints each argument of a print on its own: one that holds a character
// above U+00FF is written in UTF-8 whole, every other character in it too,
// while an argument without one is written a byte per character. So is what
// this reader writes.
class PerlReader : public ScriptLexer {
public:
    PerlReader(TextStream& script, ScriptSink& html, ReadReport& report);

private:
    void ReadScript() override;
    void SkipBlanks() override;
    bool ReadLiteral() override;
    bool SkipQuoted(bool afterValue) override;
    [[nodiscard]] std::size_t ConcatenationAt() override;
    [[nodiscard]] bool AtStatementEnd(bool afterValue) override;
    [[nodiscard]] std::size_t OperandPunctuationAt(bool afterValue) override;
    [[nodiscard]] bool IsLooseWord(std::string_view word) const override;
    [[nodiscard]] bool EndsArguments(std::string_view word) const override;
    [[nodiscard]] bool IsWordByte(char c) const override;
    void ArgumentDone(Mark start) override;
    void TakenBack(std::size_t size) override;

    void ReadStatement();
    void ReadPrint(std::uint64_t start);
    // After a print's arguments: a modifier or anything else is left out.
    void EndPrint();
    void SkipPod();
    // The text between `open` (at the cursor) and its closing delimiter,
    // with or without interpolation.
    void ReadDelimited(bool interpolating);
    void SkipDelimited();
    void ReadHeredoc();
    void ReadEscape();
    bool ReadInterpolation();
    // A character of a string, through the case modifiers in force.
    void EmitText(const char* from, std::size_t count);
    void EmitValue(std::uint32_t value);

    // The bodies of heredocs on the line being read: where that line ends
    // and where reading goes on after it.
    bool m_HeredocPending = false;
    std::uint64_t m_HeredocLineEnd = 0;
    std::uint64_t m_HeredocResume = 0;
    std::uint64_t m_HeredocResumeLine = 0;
    bool m_Ended = false; // __END__ or __DATA__ met
    // Characters above U+00FF in the argument being read, as places in the held HTML.
    std::vector<std::pair<std::size_t, std::size_t>> m_Wide;
    char m_CaseMode = 0; // 'U', 'L' or 'Q' until \E
    char m_NextCase = 0; // 'u' or 'l' for the next character
};

} // namespace quillomatic
