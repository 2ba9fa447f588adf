// Reads a PHP script back into the HTML it prints.
#pragma once

#include "ScriptLexer.h"

namespace quillomatic {

// The page text outside "<?php … ?>" and "<?= … ?>" as it stands, but for one
// line end right after "?>", which PHP does not print; "echo" (its arguments
// separated by commas) and "print" with or without parentheses; double-quoted
// strings with every escape PHP has and "$name", "{$…}" and "${…}" as
// placeholders; single-quoted strings; heredocs and nowdocs, their closing
// marker's indentation taken from every line; "." between literals; "//",
// "#" and "/* */" comments, a line comment ending at "?>" too.
class PhpReader : public ScriptLexer {
public:
    PhpReader(TextStream& script, ScriptSink& html, ReadReport& report);

private:
    void ReadScript() override;
    void SkipBlanks() override;
    bool ReadLiteral() override;
    [[nodiscard]] std::size_t ConcatenationAt() override;
    [[nodiscard]] bool AtStatementEnd(bool afterValue) override;
    [[nodiscard]] bool AtBlockEnd() override;
    [[nodiscard]] std::size_t OperandPunctuationAt(bool afterValue) override;
    [[nodiscard]] bool IsLooseWord(std::string_view word) const override;

    // The page text up to the next opening tag; false at the end of the script.
    bool ReadPageText();
    // Statements up to "?>" or the end of the script.
    void ReadCode();
    void ReadStatement();
    // The end of a print: ";" passed, "?>" left for ReadCode.
    void EndStatement();
    void ReadDoubleQuoted();
    void ReadSingleQuoted();
    void ReadHeredoc();
    // The escape after a backslash, in a double-quoted string or a heredoc.
    void ReadEscape(bool inHeredoc);
    // "$name…", "${…}" or "{$…}" at the cursor; false where it is plain text.
    bool ReadInterpolation();
};

} // namespace quillomatic
