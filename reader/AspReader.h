// Reads a classic ASP page back into the HTML it writes.
#pragma once

#include "ScriptLexer.h"

namespace quillomatic {

// The template text outside "<% … %>" as it stands; Response.Write with or
// without parentheses, and after Call; VBScript strings, "" standing for a
// quote; "&" between literals and the constants vbCrLf, vbNewLine, vbCr,
// vbLf and vbTab, and Chr(n) for a number below 128; a "_" continuing a
// line; "<%= … %>"; "'" and Rem comments. ASP ends a block at its first
// "%>", before VBScript reads a line, so our own "%" & ">" reads back as
// "%>". Keywords in any letter case, as VBScript has them.
class AspReader : public ScriptLexer {
public:
    AspReader(TextStream& script, ScriptSink& html, ReadReport& report);

private:
    void ReadScript() override;
    void SkipBlanks() override;
    bool ReadLiteral() override;
    [[nodiscard]] std::size_t ConcatenationAt() override;
    [[nodiscard]] bool AtStatementEnd(bool afterValue) override;
    [[nodiscard]] bool AtBlockEnd() override;
    [[nodiscard]] std::size_t OperandPunctuationAt(bool afterValue) override;
    [[nodiscard]] bool IsLooseWord(std::string_view word) const override;
    [[nodiscard]] bool IsWordByte(char c) const override;

    void ReadStatements();
    void ReadStatement();
    // Where "Response.Write" ends that starts `at` bytes after the cursor;
    // 0 where it does not stand there.
    [[nodiscard]] std::size_t ResponseWriteEnd(std::size_t at);
    // The statement of a script of ours, read the short way; false where
    // the statement is another.
    bool ReadOwnStatement();
    void ReadString();
    // Passes the statement's end: a line end or ":".
    void EndStatement();
    void EndBlock(std::uint64_t line);
};

} // namespace quillomatic
