// What the JavaScript and JSP readers share: C-like statements, calls that print.
#pragma once

#include "ScriptLexer.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace quillomatic {

// A call that prints its arguments, as "document.writeln" or "out.println",
// and what it prints after them.
struct PrintCall {
    std::string_view Callee;
    std::string_view After;
};

// Statements of JavaScript or Java: a print call with its arguments in
// parentheses, "+" between literals; control flow ("if (…) {", "} else {",
// loops, functions) left out and named; "//" and "/* */" comments. A
// string's escapes give characters, written in UTF-8; a surrogate pair is
// one character, and a surrogate without its pair is what the language writes
// for it (`unpaired`).
class CLikeReader : public ScriptLexer {
protected:
    CLikeReader(TextStream& script, ScriptSink& html, ReadReport& report,
                std::span<const PrintCall> calls, bool commas, char32_t unpaired);

    // Statements up to the code block's end or the script's.
    void ReadStatements();
    // The language's string literal with a double quote, at the cursor.
    virtual void ReadDoubleQuoted() = 0;
    void ReadStatement();

    void SkipBlanks() override;
    [[nodiscard]] std::size_t ConcatenationAt() override;
    [[nodiscard]] bool AtStatementEnd(bool afterValue) override;
    [[nodiscard]] std::size_t OperandPunctuationAt(bool afterValue) override;
    [[nodiscard]] bool IsLooseWord(std::string_view word) const override;
    [[nodiscard]] bool IsWordByte(char c) const override;

    // A character of an escape, pairing surrogates.
    void EmitUnit(std::uint32_t unit);
    // Ends a surrogate left without its pair.
    void EndUnits() {
        if (m_HighSurrogate != 0) {
            EndUnpaired();
        }
    }
    void EndUnpaired();
    // The hexadecimal digits at the cursor, `count` of them; false where
    // there are fewer.
    bool ReadHex(std::size_t count, std::uint32_t& value);

    // A line end was passed by the last SkipBlanks (JavaScript ends a
    // statement there).
    bool m_LineEndPassed = false;
    // JavaScript: "<!--" and "-->" at a line's start are line comments.
    bool m_HtmlComments = false;
    // Lines of our own scripts that frame statements and print nothing (the
    // methods a long JSP page's statements are spread over), without their
    // line breaks.
    std::array<std::string_view, 2> m_OwnFraming{};

private:
    [[nodiscard]] const PrintCall* CallAt();

    std::span<const PrintCall> m_Calls;
    bool m_Commas;
    char32_t m_Unpaired;
    std::uint32_t m_HighSurrogate = 0;
};

} // namespace quillomatic
