// Reads a classic ASP page back into the HTML it writes.
#include "AspReader.h"

#include "StopBytes.h"

#include <array>

namespace quillomatic {
namespace {

const StopBytes kStringStops("\"%\n\r");
// A doubled quote stands for one.
constexpr auto kDoubledQuote = EscapeTable("\"\"");

struct Constant {
    std::string_view Name;
    std::string_view Text;
};
constexpr std::array<Constant, 5> kConstants = {{
    {"vbcrlf", "\r\n"},
    {"vbnewline", "\r\n"},
    {"vbcr", "\r"},
    {"vblf", "\n"},
    {"vbtab", "\t"},
}};

constexpr std::array<std::string_view, 22> kControl = {
    "if",    "elseif", "else",   "end",      "for",   "next",     "do",   "loop",
    "while", "wend",   "select", "case",     "sub",   "function", "with", "exit",
    "call",  "each",   "until",  "property", "class", "then"};
constexpr std::array<std::string_view, 5> kQuiet = {"option", "dim", "redim", "const", "private"};

} // namespace

AspReader::AspReader(TextStream& script, ScriptSink& html, ReadReport& report)
    : ScriptLexer(script, html, report) {}

bool AspReader::IsWordByte(char c) const {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

void AspReader::ReadScript() {
    SkipByteOrderMark();
    while (ReadPageTextTo('<')) {
        const std::uint64_t line = m_Line;
        if (LooksAt("<%@")) {
            // A directive (the language, the code page) prints nothing.
            while (Have(2) && !LooksAt("%>")) {
                Pass();
            }
            EndBlock(line);
        } else if (LooksAt("<%=")) {
            m_P += 3;
            StartStatement();
            ReadArguments(false, 0);
            SkipBlanks();
            Commit();
            EndBlock(line);
        } else if (LooksAt("<%")) {
            m_P += 2;
            ReadStatements();
            EndBlock(line);
        } else {
            EmitByte(*m_P++);
        }
    }
}

void AspReader::EndBlock(std::uint64_t line) {
    if (!LooksAt("%>")) {
        Fail(line, "a script block is not closed with %>");
    }
    m_P += 2;
}

void AspReader::SkipBlanks() {
    for (;;) {
        if (!Have(1)) {
            return;
        }
        const char c = *m_P;
        if (c == ' ' || c == '\t') {
            ++m_P;
        } else if (c == '_') {
            // A line continued: "_" and spaces or tabs up to the line end.
            const std::size_t at = PastSpaces(1);
            if (!(Have(at + 1) && (m_P[at] == '\n' || m_P[at] == '\r'))) {
                return;
            }
            m_P += at;
            if (LooksAt("\r\n")) {
                ++m_P;
            }
            Pass();
        } else if (c == '\'') {
            while (Have(1) && *m_P != '\n' && *m_P != '\r' && !AtBlockEnd()) {
                ++m_P;
            }
        } else {
            return;
        }
    }
}

std::size_t AspReader::ConcatenationAt() {
    // "&H1F" and "&O17" are numbers.
    if (!Have(1) || *m_P != '&') {
        return 0;
    }
    if (Have(3) && (StartsIgnoringCase(m_P + 1, "h") || StartsIgnoringCase(m_P + 1, "o")) &&
        IsWordByte(m_P[2])) {
        return 0;
    }
    return 1;
}

bool AspReader::AtStatementEnd(bool /*afterValue*/) {
    return !Have(1) || *m_P == '\n' || *m_P == '\r' || *m_P == ':' || AtBlockEnd();
}

bool AspReader::AtBlockEnd() {
    return Have(2) && m_P[0] == '%' && m_P[1] == '>';
}

std::size_t AspReader::OperandPunctuationAt(bool afterValue) {
    if (afterValue) {
        return Have(1) && *m_P == '.' ? 1 : 0;
    }
    return Have(1) && (*m_P == '-' || *m_P == '.') ? 1 : 0;
}

bool AspReader::IsLooseWord(std::string_view word) const {
    static constexpr std::array<std::string_view, 9> kLoose = {"and", "or", "not", "xor", "eqv",
                                                               "imp", "is", "mod", "like"};
    return IsOneOfIgnoringCase(word, kLoose);
}

void AspReader::ReadStatements() {
    for (;;) {
        SkipBlanks();
        HoldNothing();
        if (AtEnd() || AtBlockEnd()) {
            return;
        }
        if (*m_P == '\n' || *m_P == '\r' || *m_P == ':') {
            Pass();
            continue;
        }
        if (*m_P == 'R' && LooksAt("Response.Write \"") && ReadOwnStatement()) {
            continue;
        }
        ReadStatement();
    }
}

void AspReader::ReadStatement() {
    StartStatement();
    const std::uint64_t start = Offset(m_P);
    if (IsWordByte(*m_P)) {
        std::string_view word = WordAt();
        if (EqualsIgnoringCase(word, "rem")) {
            while (Have(1) && *m_P != '\n' && *m_P != '\r' && !AtBlockEnd()) {
                ++m_P;
            }
            return;
        }
        // "Call Response.Write(…)" prints as Response.Write does: Call only
        // asks for the arguments in parentheses.
        const bool call = EqualsIgnoringCase(word, "call");
        if (call || EqualsIgnoringCase(word, "response")) {
            if (const std::size_t end = ResponseWriteEnd(call ? PastSpaces(word.size()) : 0)) {
                m_P += end;
                ReadArguments(false, 0);
                EndStatement();
                return;
            }
            word = WordAt(); // where looking ahead read more, the bytes moved
        }
        if (IsOneOfIgnoringCase(word, kQuiet)) {
            SkipStatement();
            return;
        }
        if (IsOneOfIgnoringCase(word, kControl)) {
            const bool isIf = EqualsIgnoringCase(word, "if") || EqualsIgnoringCase(word, "elseif");
            m_P += word.size();
            std::uint64_t end = Offset(m_P);
            // A head goes to the line's end; an If's to its Then, after which a
            // statement may follow on the same line.
            while (!AtStatementEnd(true)) {
                SkipBlanks();
                if (AtStatementEnd(true)) {
                    break;
                }
                if (IsWordByte(*m_P)) {
                    const std::string_view next = ReadWord();
                    end = Offset(m_P);
                    if (isIf && EqualsIgnoringCase(next, "then")) {
                        break;
                    }
                } else if (*m_P == '"') {
                    const Mark mark = Here();
                    ReadString();
                    TakeBack(mark);
                    end = Offset(m_P);
                } else {
                    ++m_P;
                    end = Offset(m_P);
                }
            }
            LeaveOut(start, end, StatementLine(), "control flow");
            Commit();
            return;
        }
    }
    const std::uint64_t end = SkipStatement();
    LeaveOut(start, end, StatementLine(), "not a print of literals");
    Commit();
}

std::size_t AspReader::ResponseWriteEnd(std::size_t at) {
    if (!(Have(at + 8) && StartsIgnoringCase(m_P + at, "response") &&
          !(Have(at + 9) && IsWordByte(m_P[at + 8])))) {
        return 0;
    }
    at = PastSpaces(at + 8);
    if (!(Have(at + 6) && m_P[at] == '.')) {
        return 0;
    }
    at = PastSpaces(at + 1);
    std::size_t end = at;
    while (Have(end + 1) && IsWordByte(m_P[end])) {
        ++end;
    }
    return EqualsIgnoringCase({m_P + at, end - at}, "write") ? end : 0;
}

bool AspReader::ReadOwnStatement() {
    // Response.Write "…" & "…" & vbCrLf: literals joined, and a line end.
    StartStatement();
    const std::uint64_t start = Offset(m_P);
    const Mark mark = Here();
    m_P += 15;
    for (;;) {
        ReadString();
        if (LooksAt(" & \"")) {
            m_P += 3;
            continue;
        }
        break;
    }
    if (LooksAt(" & vbCrLf") && (!Have(10) || m_P[9] == '\r' || m_P[9] == '\n')) {
        m_P += 9;
        Emit("\r\n");
        Commit();
        return true;
    }
    TakeBack(mark);
    GoBack(start, StatementLine());
    return false;
}

void AspReader::EndStatement() {
    SkipBlanks();
    if (!AtStatementEnd(true)) {
        const std::uint64_t start = Offset(m_P);
        const std::uint64_t end = SkipStatement();
        LeaveOut(start, end, m_Line, "not a print of literals");
    }
    Commit();
}

bool AspReader::ReadLiteral() {
    if (!Have(1)) {
        return false;
    }
    if (*m_P == '"') {
        ReadString();
        return true;
    }
    if (!IsWordByte(*m_P)) {
        return false;
    }
    const std::string_view word = WordAt();
    for (const Constant& constant : kConstants) {
        if (EqualsIgnoringCase(word, constant.Name)) {
            m_P += word.size();
            Emit(constant.Text);
            return true;
        }
    }
    if (EqualsIgnoringCase(word, "chr")) {
        // Chr(n) for a number n below 128 is that ASCII character.
        std::size_t at = PastSpaces(word.size());
        if (!(Have(at + 1) && m_P[at] == '(')) {
            return false;
        }
        at = PastSpaces(at + 1);
        unsigned value = 0;
        std::size_t digits = 0;
        while (Have(at + 1) && m_P[at] >= '0' && m_P[at] <= '9' && digits < 4) {
            value = value * 10 + static_cast<unsigned>(m_P[at++] - '0');
            ++digits;
        }
        at = PastSpaces(at);
        if (digits == 0 || value >= 128 || !(Have(at + 1) && m_P[at] == ')')) {
            return false;
        }
        m_P += at + 1;
        EmitByte(static_cast<char>(value));
        return true;
    }
    return false;
}

void AspReader::ReadString() {
    const std::uint64_t line = m_Line;
    ++m_P;
    for (;;) {
        CopyLiteral(kStringStops, '"', kDoubledQuote, "%>");
        const char c = *m_P;
        if (c == '"') {
            if (Have(2) && m_P[1] == '"') {
                EmitByte('"');
                m_P += 2;
                continue;
            }
            ++m_P;
            return;
        }
        if (c == '%') {
            if (AtBlockEnd()) {
                Fail(line, "a string literal is not closed before %>");
            }
            EmitByte(*m_P++);
            continue;
        }
        // A line end, or a NUL: the end of the bytes read or a NUL in the string.
        if (c == '\n' || c == '\r' || !PassNul()) {
            Fail(line, "a string literal is not closed");
        }
    }
}

} // namespace quillomatic
