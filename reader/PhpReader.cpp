// Reads a PHP script back into the HTML it prints.
#include "PhpReader.h"

#include "StopBytes.h"

#include <array>
#include <cstring>

namespace quillomatic {
namespace {

// The bytes a double-quoted string's scan stops at: NUL (the buffer's end,
// or a NUL of the string), the quote, a backslash, the start of a variable,
// a line end (counted).
const StopBytes kDoubleQuotedStops("\"\\${\n");
const StopBytes kSingleQuotedStops("'\\\n");
constexpr auto kDoubleQuotedEscapes = EscapeTable("\"\"\\\\$$n\nt\tr\rv\ve\x1B"
                                                  "f\f");
constexpr auto kSingleQuotedEscapes = EscapeTable("''\\\\");

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool IsNameByte(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

constexpr std::array<std::string_view, 16> kControl = {
    "if",  "elseif", "else",    "while", "for",     "foreach",  "switch", "do",
    "try", "catch",  "finally", "case",  "default", "function", "match",  "declare"};
constexpr std::array<std::string_view, 5> kControlEnds = {"endif", "endwhile", "endfor",
                                                          "endforeach", "endswitch"};

} // namespace

PhpReader::PhpReader(TextStream& script, ScriptSink& html, ReadReport& report)
    : ScriptLexer(script, html, report) {}

void PhpReader::ReadScript() {
    while (ReadPageText()) {
        ReadCode();
    }
}

bool PhpReader::ReadPageText() {
    while (ReadPageTextTo('<')) {
        if (LooksAt("<?=")) {
            m_P += 3;
            StartStatement();
            ReadArguments(true, 0);
            EndStatement();
            return true;
        }
        if (LooksAtIgnoringCase("<?php") && (!Have(6) || IsBlankByte(m_P[5]))) {
            m_P += 5;
            return true;
        }
        EmitByte('<');
        ++m_P;
    }
    return false;
}

void PhpReader::ReadCode() {
    for (;;) {
        SkipBlanks();
        HoldNothing();
        if (AtEnd()) {
            return;
        }
        if (LooksAt("?>")) {
            m_P += 2;
            // One line end right after the closing tag is not printed.
            if (LooksAt("\r\n")) {
                m_P += 2;
            } else if (Have(1) && (*m_P == '\n' || *m_P == '\r')) {
                Pass();
            }
            return;
        }
        if (*m_P == 'e' && LooksAt("echo \"") &&
            ReadOwnStatement("echo ", [this] { ReadDoubleQuoted(); }, ";", {})) {
            continue;
        }
        ReadStatement();
    }
}

void PhpReader::ReadStatement() {
    StartStatement();
    const std::uint64_t start = Offset(m_P);
    const char c = *m_P;
    if (c == ';' || c == '{' || c == '}') {
        ++m_P;
        return;
    }
    if (IsNameStart(c)) {
        const std::string_view word = WordAt();
        if (EqualsIgnoringCase(word, "echo")) {
            m_P += word.size();
            ReadArguments(true, 0);
            EndStatement();
            return;
        }
        if (EqualsIgnoringCase(word, "print")) {
            m_P += word.size();
            ReadArguments(false, 0);
            EndStatement();
            return;
        }
        if (IsOneOfIgnoringCase(word, kControl)) {
            const bool named = EqualsIgnoringCase(word, "function");
            const bool isCase =
                EqualsIgnoringCase(word, "case") || EqualsIgnoringCase(word, "default");
            m_P += word.size();
            LeaveOutControl(start, named, isCase ? ':' : 0);
            return;
        }
        if (IsOneOfIgnoringCase(word, kControlEnds)) {
            m_P += word.size();
            LeaveOut(start, Offset(m_P), StatementLine(), "control flow");
            Commit();
            return;
        }
    }
    LeaveOutStatement(start, StatementLine(), "not a print of literals");
    Commit();
}

void PhpReader::EndStatement() {
    SkipBlanks();
    if (Have(1) && *m_P == ';') {
        ++m_P;
    } else if (!AtEnd() && !LooksAt("?>")) {
        // Something the print's arguments did not take: the rest is left out.
        const std::uint64_t start = Offset(m_P);
        LeaveOutStatement(start, m_Line, "not a print of literals");
    }
    Commit();
}

void PhpReader::SkipBlanks() {
    for (;;) {
        while (Have(1) && IsBlankByte(*m_P)) {
            Pass();
        }
        if (!Have(1) || (*m_P != '#' && *m_P != '/')) {
            return;
        }
        if (*m_P == '#' && !LooksAt("#[")) {
            ++m_P;
        } else if (LooksAt("//")) {
            m_P += 2;
        } else if (LooksAt("/*")) {
            m_P += 2;
            while (Have(2) && !(m_P[0] == '*' && m_P[1] == '/')) {
                Pass();
            }
            if (!Have(2)) {
                Fail(m_Line, "a comment is not closed");
            }
            m_P += 2;
            continue;
        } else {
            return;
        }
        // A line comment ends at the line's end (a lone CR too, as PHP's
        // lexer has it) or before "?>".
        while (Have(1) && *m_P != '\n' && *m_P != '\r' && !LooksAt("?>")) {
            ++m_P;
        }
    }
}

std::size_t PhpReader::ConcatenationAt() {
    return Have(1) && *m_P == '.' && !(Have(2) && (m_P[1] == '=' || m_P[1] == '.')) ? 1 : 0;
}

bool PhpReader::AtStatementEnd(bool /*afterValue*/) {
    return Have(1) && (*m_P == ';' || LooksAt("?>"));
}

bool PhpReader::AtBlockEnd() {
    return LooksAt("?>");
}

std::size_t PhpReader::OperandPunctuationAt(bool afterValue) {
    if (afterValue) {
        for (const std::string_view access : {"?->", "->", "::", "++", "--"}) {
            if (LooksAt(access)) {
                return access.size();
            }
        }
        return 0;
    }
    return Have(1) && std::strchr("$\\@!&-+~", *m_P) != nullptr ? 1 : 0;
}

bool PhpReader::IsLooseWord(std::string_view word) const {
    return EqualsIgnoringCase(word, "and") || EqualsIgnoringCase(word, "or") ||
           EqualsIgnoringCase(word, "xor");
}

bool PhpReader::ReadLiteral() {
    if (!Have(1)) {
        return false;
    }
    if (*m_P == '"') {
        ReadDoubleQuoted();
        return true;
    }
    if (*m_P == '\'') {
        ReadSingleQuoted();
        return true;
    }
    if (LooksAt("<<<")) {
        ReadHeredoc();
        return true;
    }
    return false;
}

void PhpReader::ReadDoubleQuoted() {
    const std::uint64_t line = m_Line;
    ++m_P;
    for (;;) {
        CopyLiteral(kDoubleQuotedStops, '\\', kDoubleQuotedEscapes);
        switch (*m_P) {
        case '"':
            ++m_P;
            return;
        case '\\':
            ReadEscape(false);
            break;
        case '$':
        case '{':
            if (!ReadInterpolation()) {
                EmitByte(*m_P++);
            }
            break;
        case '\n':
            ++m_Line;
            EmitByte(*m_P++);
            break;
        default: // NUL: the end of the bytes read, or a NUL in the string
            if (!PassNul()) {
                Fail(line, "a string literal is not closed");
            }
        }
    }
}

void PhpReader::ReadSingleQuoted() {
    const std::uint64_t line = m_Line;
    ++m_P;
    for (;;) {
        CopyLiteral(kSingleQuotedStops, '\\', kSingleQuotedEscapes);
        switch (*m_P) {
        case '\'':
            ++m_P;
            return;
        case '\\':
            if (!Have(2)) {
                Fail(line, "a string literal is not closed");
            }
            if (m_P[1] == '\'' || m_P[1] == '\\') {
                ++m_P;
            }
            EmitByte(*m_P++);
            break;
        case '\n':
            ++m_Line;
            EmitByte(*m_P++);
            break;
        default:
            if (!PassNul()) {
                Fail(line, "a string literal is not closed");
            }
        }
    }
}

void PhpReader::ReadEscape(bool inHeredoc) {
    if (!Have(2)) {
        EmitByte(*m_P++);
        return;
    }
    const char c = m_P[1];
    // A heredoc's quote needs no escape: there "\"" is both bytes.
    const char simple =
        inHeredoc && c == '"' ? '\0' : kDoubleQuotedEscapes[static_cast<unsigned char>(c)];
    if (simple != 0) {
        EmitByte(simple);
        m_P += 2;
        return;
    }
    if (c >= '0' && c <= '7') {
        unsigned value = 0;
        std::size_t length = 1;
        while (length <= 3 && Have(length + 1) && m_P[length] >= '0' && m_P[length] <= '7') {
            value = value * 8 + static_cast<unsigned>(m_P[length] - '0');
            ++length;
        }
        EmitByte(static_cast<char>(value & 0xFF));
        m_P += length;
        return;
    }
    if (c == 'x' && Have(3) && HexDigitValue(m_P[2]) >= 0) {
        int value = HexDigitValue(m_P[2]);
        std::size_t length = 3;
        if (Have(4) && HexDigitValue(m_P[3]) >= 0) {
            value = value * 16 + HexDigitValue(m_P[3]);
            length = 4;
        }
        EmitByte(static_cast<char>(value));
        m_P += length;
        return;
    }
    if (c == 'u' && Have(3) && m_P[2] == '{') {
        std::size_t length = 3;
        char32_t value = 0;
        while (Have(length + 1) && HexDigitValue(m_P[length]) >= 0 && value <= 0x10FFFF) {
            value = value * 16 + static_cast<char32_t>(HexDigitValue(m_P[length]));
            ++length;
        }
        if (length == 3 || !Have(length + 1) || m_P[length] != '}' || value > 0x10FFFF) {
            Fail(m_Line, "an escape \\u{…} is not a character");
        }
        EmitCharacter(value);
        m_P += length + 1;
        return;
    }
    // Not an escape: the backslash stays, and what follows is read as usual.
    EmitByte(*m_P++);
}

bool PhpReader::ReadInterpolation() {
    const std::uint64_t start = Offset(m_P);
    const std::uint64_t line = m_Line;
    if (*m_P == '{') {
        if (!Have(2) || m_P[1] != '$') {
            return false;
        }
        ++m_P;
        const std::uint64_t inner = Offset(m_P);
        // Up to the brace that closes it, over quotes and brackets inside.
        bool loose = false;
        ScanExpression(false, false, '}', loose);
        const std::uint64_t end = Offset(m_P);
        if (!Have(1) || *m_P != '}') {
            Fail(line, "a \"{$\" in a string is not closed");
        }
        ++m_P;
        EmitPlaceholder(inner, end, line, "a variable in a string");
        return true;
    }
    if (!Have(2)) {
        return false;
    }
    if (m_P[1] == '{') {
        m_P += 1;
        SkipGroup();
        EmitPlaceholder(start, Offset(m_P), line, "a variable in a string");
        return true;
    }
    if (!IsNameStart(m_P[1])) {
        return false;
    }
    m_P += 1;
    while (Have(1) && IsNameByte(*m_P)) {
        ++m_P;
    }
    // One level of "[key]" or "->name" belongs to the variable.
    if (Have(1) && *m_P == '[') {
        std::size_t length = 1;
        while (Have(length + 1) && m_P[length] != ']' && m_P[length] != '"' &&
               m_P[length] != '\n' && length < 256) {
            ++length;
        }
        if (Have(length + 1) && m_P[length] == ']') {
            m_P += length + 1;
        }
    } else if (LooksAt("->") && Have(3) && IsNameStart(m_P[2])) {
        m_P += 2;
        while (Have(1) && IsNameByte(*m_P)) {
            ++m_P;
        }
    }
    EmitPlaceholder(start, Offset(m_P), line, "a variable in a string");
    return true;
}

void PhpReader::ReadHeredoc() {
    const std::uint64_t line = m_Line;
    m_P += 3;
    m_P += PastSpaces(0);
    char quote = 0;
    if (Have(1) && (*m_P == '"' || *m_P == '\'')) {
        quote = *m_P++;
    }
    const std::string marker(ReadWord());
    if (marker.empty() || (quote != 0 && (!Have(1) || *m_P++ != quote))) {
        Fail(line, "a heredoc has no closing marker");
    }
    if (LooksAt("\r\n")) {
        m_P += 2;
    } else if (Have(1) && (*m_P == '\n' || *m_P == '\r')) {
        ++m_P;
    } else {
        Fail(line, "a heredoc's marker is not followed by a line end");
    }
    ++m_Line;
    // The closing marker's indentation comes off every line: find it first.
    HoldWhole(true);
    std::size_t lineStart = 0;
    std::size_t indentation = 0;
    for (;;) {
        std::size_t at = PastSpaces(lineStart);
        if (Have(at + marker.size()) && std::memcmp(m_P + at, marker.data(), marker.size()) == 0 &&
            !(Have(at + marker.size() + 1) && IsNameByte(m_P[at + marker.size()]))) {
            indentation = at - lineStart;
            break;
        }
        while (Have(at + 1) && m_P[at] != '\n') {
            ++at;
        }
        if (!Have(at + 1)) {
            Fail(line, "a heredoc's closing marker \"" + marker + "\" is missing");
        }
        lineStart = at + 1;
    }
    const std::uint64_t close = Offset(m_P) + lineStart + indentation;
    const Mark start = Here();
    while (Offset(m_P) < close - indentation) {
        for (std::size_t i = 0; i < indentation && (*m_P == ' ' || *m_P == '\t'); ++i) {
            ++m_P;
        }
        // One line of the body, its line end included.
        while (*m_P != '\n') {
            if (quote != '\'' && *m_P == '\\') {
                ReadEscape(true);
            } else if (quote != '\'' && (*m_P == '$' || *m_P == '{') && ReadInterpolation()) {
            } else {
                EmitByte(*m_P++);
            }
        }
        EmitByte(*m_P++);
        ++m_Line;
    }
    // The line end before the closing marker is not part of the text.
    std::size_t size = HeldSize();
    if (size > start.Html && HeldSince(start)[size - start.Html - 1] == '\n') {
        --size;
        if (size > start.Html && HeldSince(start)[size - start.Html - 1] == '\r') {
            --size;
        }
    }
    Resize(size);
    m_P = At(close) + marker.size();
    HoldWhole(false);
}

} // namespace quillomatic
