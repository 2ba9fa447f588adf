// What the JavaScript and JSP readers share: C-like statements, calls that print.
#include "CLikeReader.h"

#include <cstring>

namespace quillomatic {
namespace {

constexpr std::array<std::string_view, 13> kControl = {
    "if",      "else", "for",   "while",   "do",       "switch",      "case",
    "default", "try",  "catch", "finally", "function", "synchronized"};

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

} // namespace

CLikeReader::CLikeReader(TextStream& script, ScriptSink& html, ReadReport& report,
                         std::span<const PrintCall> calls, bool commas, char32_t unpaired)
    : ScriptLexer(script, html, report), m_Calls(calls), m_Commas(commas), m_Unpaired(unpaired) {}

bool CLikeReader::IsWordByte(char c) const {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

void CLikeReader::SkipBlanks() {
    m_LineEndPassed = false;
    for (;;) {
        if (!Have(1)) {
            return;
        }
        const char c = *m_P;
        if (IsBlankByte(c)) {
            m_LineEndPassed = m_LineEndPassed || c == '\n' || c == '\r';
            Pass();
            continue;
        }
        const bool lineComment =
            LooksAt("//") ||
            (m_HtmlComments && (LooksAt("<!--") || (m_LineEndPassed && LooksAt("-->"))));
        if (lineComment) {
            while (Have(1) && *m_P != '\n' && *m_P != '\r' && !AtBlockEnd()) {
                ++m_P;
            }
            continue;
        }
        if (LooksAt("/*")) {
            const std::uint64_t line = m_Line;
            m_P += 2;
            while (Have(2) && !(m_P[0] == '*' && m_P[1] == '/') && !AtBlockEnd()) {
                m_LineEndPassed = m_LineEndPassed || *m_P == '\n';
                Pass();
            }
            if (!LooksAt("*/")) {
                Fail(line, "a comment is not closed");
            }
            m_P += 2;
            continue;
        }
        return;
    }
}

std::size_t CLikeReader::ConcatenationAt() {
    return Have(1) && *m_P == '+' && !(Have(2) && (m_P[1] == '+' || m_P[1] == '=')) ? 1 : 0;
}

bool CLikeReader::AtStatementEnd(bool afterValue) {
    if (!Have(1)) {
        return true;
    }
    const char c = *m_P;
    if (c == ';' || c == '}' || AtBlockEnd()) {
        return true;
    }
    // A line end after a value ends a JavaScript statement, unless what
    // follows carries it on.
    return m_HtmlComments && m_LineEndPassed && afterValue &&
           std::strchr("+-*/%&|^=<>?:,.([", c) == nullptr;
}

std::size_t CLikeReader::OperandPunctuationAt(bool afterValue) {
    if (afterValue) {
        for (const std::string_view access : {"?.", "++", "--", "."}) {
            if (LooksAt(access)) {
                return access.size();
            }
        }
        return 0;
    }
    return Have(1) && std::strchr("!-+~.", *m_P) != nullptr ? 1 : 0;
}

bool CLikeReader::IsLooseWord(std::string_view word) const {
    return word == "instanceof" || word == "in";
}

const PrintCall* CLikeReader::CallAt() {
    for (const PrintCall& call : m_Calls) {
        // The callee's parts, with blanks allowed around each dot.
        std::string_view callee = call.Callee;
        std::size_t at = 0;
        bool matches = true;
        while (matches && !callee.empty()) {
            const std::size_t dot = callee.find('.');
            const std::string_view part = callee.substr(0, dot);
            matches = Have(at + part.size()) &&
                      std::memcmp(m_P + at, part.data(), part.size()) == 0 &&
                      !(Have(at + part.size() + 1) && IsWordByte(m_P[at + part.size()]));
            at += part.size();
            if (dot == std::string_view::npos) {
                break;
            }
            at = PastSpaces(at);
            matches = matches && Have(at + 1) && m_P[at] == '.';
            at = PastSpaces(at + 1);
            callee.remove_prefix(dot + 1);
        }
        if (matches) {
            const std::size_t open = PastSpaces(at);
            if (Have(open + 1) && m_P[open] == '(') {
                m_P += open + 1;
                return &call;
            }
        }
    }
    return nullptr;
}

void CLikeReader::ReadStatements() {
    for (;;) {
        SkipBlanks();
        HoldNothing();
        if (AtEnd() || AtBlockEnd()) {
            return;
        }
        // The statements of our own scripts: a call with one literal.
        bool read = false;
        for (const PrintCall& call : m_Calls) {
            if (*m_P == call.Callee[0] && Have(call.Callee.size() + 2) &&
                std::memcmp(m_P, call.Callee.data(), call.Callee.size()) == 0 &&
                m_P[call.Callee.size()] == '(' && m_P[call.Callee.size() + 1] == '"') {
                read = ReadOwnStatement(
                    std::string_view(m_P, call.Callee.size() + 1), [this] { ReadDoubleQuoted(); },
                    ");", call.After);
                break;
            }
        }
        for (const std::string_view framing : m_OwnFraming) {
            if (!read && !framing.empty() && LooksAt(framing)) {
                m_P += framing.size();
                read = true;
            }
        }
        if (!read) {
            ReadStatement();
        }
    }
}

void CLikeReader::ReadStatement() {
    StartStatement();
    const std::uint64_t start = Offset(m_P);
    const char c = *m_P;
    if (c == ';' || c == '{' || c == '}') {
        ++m_P;
        return;
    }
    if (const PrintCall* call = CallAt()) {
        ReadArguments(m_Commas, ')');
        SkipBlanks();
        if (Have(1) && *m_P == ')') {
            ++m_P;
            Emit(call->After);
            SkipBlanks();
            if (AtStatementEnd(true)) {
                PassSemicolon();
                Commit();
                return;
            }
        }
        // Something the call did not take: the statement as a whole is not understood.
        TakeBack({StatementHeld(), StatementNotes()});
    }
    if (IsNameStart(c)) {
        const std::string_view word = WordAt();
        for (const std::string_view control : kControl) {
            if (word == control) {
                const bool isCase = word == "case" || word == "default";
                m_P += word.size();
                LeaveOutControl(start, word == "function", isCase ? ':' : 0);
                return;
            }
        }
    }
    if (c == '"' || c == '\'') {
        // A directive such as "use strict" prints nothing.
        const Mark mark = Here();
        if (ReadLiteral()) {
            TakeBack(mark);
            SkipBlanks();
            if (AtStatementEnd(true)) {
                PassSemicolon();
                return;
            }
        }
    }
    LeaveOutStatement(start, StatementLine(), "not a print of literals");
    Commit();
}

void CLikeReader::EmitUnit(std::uint32_t unit) {
    if (unit >= 0xDC00 && unit <= 0xDFFF && m_HighSurrogate != 0) {
        EmitCharacter(0x10000 + ((m_HighSurrogate - 0xD800) << 10) + (unit - 0xDC00));
        m_HighSurrogate = 0;
        return;
    }
    EndUnits();
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        m_HighSurrogate = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
        EmitCharacter(m_Unpaired);
    } else {
        EmitCharacter(unit);
    }
}

void CLikeReader::EndUnpaired() {
    m_HighSurrogate = 0;
    EmitCharacter(m_Unpaired);
}

bool CLikeReader::ReadHex(std::size_t count, std::uint32_t& value) {
    value = 0;
    if (!Have(count)) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const int digit = HexDigitValue(m_P[i]);
        if (digit < 0) {
            return false;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    m_P += count;
    return true;
}

} // namespace quillomatic
