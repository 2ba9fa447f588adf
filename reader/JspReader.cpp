// Reads a JSP page back into the HTML it prints.
#include "JspReader.h"

#include "StopBytes.h"
#include "TargetFormat.h"
#include "TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quillomatic {
namespace {

constexpr std::array<PrintCall, 3> kCalls = {{
    {"out.print", ""},
    {"out.println", "\n"},
    {"out.write", ""},
}};

// Java's UTF-8 encoder writes an unpaired surrogate as "?".
constexpr char32_t kUnpaired = '?';

const StopBytes kStringStops("\"\\%\n\r");
// The escapes that stand for one ASCII byte; "\\" before a "u" is no
// Unicode escape, as Java has it.
constexpr auto kSimpleEscapes = EscapeTable("\"\"''\\\\n\nt\tr\rb\bf\fs ");
constexpr std::array<bool, 256> kTemplateStops = StopTable("<$#\\");

// A line of the script's framing as the format writes it, without its line break.
std::string_view WithoutLineBreak(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace

JspReader::JspReader(TextStream& script, ScriptSink& html, ReadReport& report)
    : CLikeReader(script, html, report, kCalls, false, kUnpaired) {
    m_OwnFraming = {WithoutLineBreak(TargetFormat::JSP.MethodOpener),
                    WithoutLineBreak(TargetFormat::JSP.MethodCloser)};
}

bool JspReader::AtBlockEnd() {
    return m_InElement && Have(2) && m_P[0] == '%' && m_P[1] == '>';
}

void JspReader::EndElement(std::uint64_t line) {
    m_InElement = false;
    if (!LooksAt("%>")) {
        Fail(line, "a scripting element is not closed with %>");
    }
    m_P += 2;
}

void JspReader::ReadScript() {
    SkipByteOrderMark();
    for (;;) {
        HoldNothing();
        if (AtEnd()) {
            return;
        }
        const char* const run = m_P;
        const char* end = run;
        while (!kTemplateStops[static_cast<unsigned char>(*end)]) {
            ++end;
        }
        Emit(run, static_cast<std::size_t>(end - run));
        PassTo(end);
        Commit();
        if (m_P == m_End) {
            continue;
        }
        StartStatement();
        const std::uint64_t start = Offset(m_P);
        const std::uint64_t line = m_Line;
        if (LooksAt("<%--")) {
            m_P += 4;
            while (Have(4) && !LooksAt("--%>")) {
                Pass();
            }
            if (!LooksAt("--%>")) {
                Fail(line, "a JSP comment is not closed with --%>");
            }
            m_P += 4;
        } else if (LooksAt("<%@")) {
            // A directive prints nothing; the page encoding it may name is
            // the script's own bytes already.
            m_P += 3;
            while (Have(2) && !LooksAt("%>")) {
                Pass();
            }
            EndElement(line);
        } else if (LooksAt("<%!")) {
            m_P += 3;
            m_InElement = true;
            while (Have(2) && !LooksAt("%>")) {
                Pass();
            }
            LeaveOut(start, Offset(m_P) + 2, line, "a declaration");
            EndElement(line);
            Commit();
        } else if (LooksAt("<%=")) {
            m_P += 3;
            m_InElement = true;
            ReadArguments(false, 0);
            SkipBlanks();
            EndElement(line);
            Commit();
        } else if (LooksAt("<%")) {
            m_P += 2;
            m_InElement = true;
            ReadStatements();
            EndElement(line);
            Commit();
        } else if (LooksAt("<\\%")) {
            Emit("<%");
            m_P += 3;
            Commit();
        } else if (LooksAt("\\${") || LooksAt("\\#{")) {
            EmitByte(m_P[1]);
            m_P += 2;
            Commit();
        } else if (LooksAt("${") || LooksAt("#{")) {
            m_P += 2;
            const std::uint64_t inner = Offset(m_P);
            while (Have(1) && *m_P != '}') {
                Pass();
            }
            if (!Have(1)) {
                Fail(line, "an EL expression is not closed with }");
            }
            EmitPlaceholder(inner, Offset(m_P), line, "an EL expression");
            ++m_P;
            Commit();
        } else if (LooksAt("<jsp:") || LooksAt("</jsp:")) {
            while (Have(1) && *m_P != '>') {
                Pass();
            }
            m_P += Have(1) ? 1 : 0;
            LeaveOut(start, Offset(m_P), line, "a JSP action");
            Commit();
        } else {
            EmitByte(*m_P++);
            Commit();
        }
    }
}

std::uint32_t JspReader::NextCharacter(bool& escaped) {
    escaped = false;
    if (Have(2) && m_P[0] == '\\' && m_P[1] == 'u') {
        std::size_t at = 1;
        while (Have(at + 1) && m_P[at] == 'u') {
            ++at;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const int digit = Have(at + i + 1) ? HexDigitValue(m_P[at + i]) : -1;
            if (digit < 0) {
                Fail(m_Line, "an escape \\u is not four hexadecimal digits");
            }
            value = value * 16 + static_cast<std::uint32_t>(digit);
        }
        m_P += at + 4;
        escaped = true;
        return value;
    }
    return static_cast<unsigned char>(*m_P++);
}

bool JspReader::ReadLiteral() {
    if (!Have(1)) {
        return false;
    }
    if (*m_P == '"') {
        ReadString();
        return true;
    }
    if (*m_P == '\'') {
        ReadCharacter();
        return true;
    }
    return false;
}

void JspReader::ReadDoubleQuoted() {
    ReadString();
}

void JspReader::ReadString() {
    const std::uint64_t line = m_Line;
    ++m_P;
    for (;;) {
        if (!kStringStops.Stops(*m_P) || (*m_P == '\\' && m_P[1] != 'u')) {
            EndUnits();
            CopyLiteral(kStringStops, '\\', kSimpleEscapes);
        }
        const char c = *m_P;
        if (c == '"') {
            EndUnits();
            ++m_P;
            return;
        }
        if (c == '%') {
            if (LooksAt("%>")) {
                Fail(line, "a string literal is not closed before %>");
            }
            EndUnits();
            if (LooksAt("%\\>")) {
                Emit("%>");
                m_P += 3;
            } else {
                EmitByte(*m_P++);
            }
            continue;
        }
        if (m_P == m_End) {
            if (!Have(1)) {
                Fail(line, "a string literal is not closed");
            }
            continue; // more was read
        }
        if (c == '\n' || c == '\r') {
            Fail(line, "a string literal is not closed");
        }
        if (c == '\\') {
            if (ReadEscape(line)) {
                return;
            }
            continue;
        }
        EndUnits();
        EmitByte(*m_P++);
    }
}

bool JspReader::ReadEscape(std::uint64_t line) {
    bool escaped = false;
    const std::uint32_t first = NextCharacter(escaped);
    if (escaped && first != '\\') {
        // A Unicode escape is the character itself, a quote ending the string.
        if (first == '"') {
            EndUnits();
            return true;
        }
        if (first == '\n' || first == '\r') {
            Fail(line, "a string literal is not closed");
        }
        EmitUnit(first);
        return false;
    }
    // A backslash, written or escaped, starts an escape sequence. A written
    // backslash right after a written one is no Unicode escape's start.
    if (!Have(1)) {
        Fail(line, "a string literal is not closed");
    }
    std::uint32_t c = '\\';
    if (!escaped && *m_P == '\\') {
        ++m_P;
    } else {
        c = NextCharacter(escaped);
    }
    if (c < 0x80 && kSimpleEscapes[c] != '\0') {
        EmitUnit(static_cast<unsigned char>(kSimpleEscapes[c]));
        return false;
    }
    if (c >= '0' && c <= '7') {
        std::uint32_t value = c - '0';
        const int most = c <= '3' ? 2 : 1;
        for (int digits = 0; digits < most && Have(1) && *m_P >= '0' && *m_P <= '7'; ++digits) {
            value = value * 8 + static_cast<std::uint32_t>(*m_P++ - '0');
        }
        EmitUnit(value);
        return false;
    }
    Fail(line, "a string literal holds an escape Java does not have");
}

void JspReader::ReadCharacter() {
    const std::uint64_t line = m_Line;
    ++m_P;
    if (!Have(1)) {
        Fail(line, "a character literal is not closed");
    }
    if (*m_P == '\\') {
        if (ReadEscape(line)) {
            Fail(line, "a character literal is not closed");
        }
    } else {
        bool escaped = false;
        const std::uint64_t from = Offset(m_P);
        const std::uint32_t c = NextCharacter(escaped);
        if (escaped) {
            EmitUnit(c);
        } else {
            // One character of the page's bytes: a UTF-8 one whole, however
            // many bytes it takes; any other byte alone, as a page in a
            // single-byte encoding has it.
            m_P = At(from);
            (void)Have(4);
            char32_t ignored = 0;
            const std::size_t length = std::max<std::size_t>(
                DecodeUtf8({m_P, static_cast<std::size_t>(m_End - m_P)}, ignored), 1);
            Emit(m_P, length);
            m_P += length;
        }
    }
    EndUnits();
    if (!Have(1) || *m_P != '\'') {
        Fail(line, "a character literal is not closed");
    }
    ++m_P;
}

} // namespace quillomatic
