// Reads a JavaScript script back into the HTML it writes.
#include "JavaScriptReader.h"

#include "StopBytes.h"

#include <array>
#include <cstring>

namespace quillomatic {
namespace {

// writeln first: every statement of our own scripts is one.
constexpr std::array<PrintCall, 2> kCalls = {{
    {"document.writeln", "\n"},
    {"document.write", ""},
}};

// An unpaired surrogate reaches standard output as U+FFFD.
constexpr char32_t kReplacement = 0xFFFD;

// In a SCRIPT element a "<" may start its end tag.
const StopBytes kDoubleStops("\"\\\n\r", "</");
const StopBytes kSingleStops("'\\\n\r", "</");
const StopBytes kDoubleStopsInCode("\"\\\n\r");
const StopBytes kSingleStopsInCode("'\\\n\r");
// The escapes that stand for one ASCII byte.
constexpr auto kSimpleEscapes = EscapeTable("\"\"''\\\\//n\nt\tr\rb\bf\fv\v");
const StopBytes kTemplateStops("`\\$\n\r<");

} // namespace

JavaScriptReader::JavaScriptReader(TextStream& script, ScriptSink& html, ReadReport& report)
    : CLikeReader(script, html, report, kCalls, true, kReplacement) {
    m_HtmlComments = true;
}

void JavaScriptReader::ReadScript() {
    SkipByteOrderMark();
    std::size_t at = 0;
    while (Have(at + 1) && IsBlankByte(m_P[at])) {
        ++at;
    }
    if (!(Have(at + 1) && m_P[at] == '<')) {
        ReadStatements();
        return;
    }
    // Page text, and the statements of each SCRIPT element in it.
    for (;;) {
        HoldNothing();
        if (AtEnd()) {
            return;
        }
        if (LooksAtIgnoringCase("<script") && Have(8) && (IsBlankByte(m_P[7]) || m_P[7] == '>')) {
            SkipTag();
            m_Framed = true;
            ReadStatements();
            m_Framed = false;
            SkipTag();
            continue;
        }
        const char* open = static_cast<const char*>(
            std::memchr(m_P + 1, '<', static_cast<std::size_t>(m_End - m_P - 1)));
        const char* const end = open != nullptr ? open : m_End;
        Emit(m_P, static_cast<std::size_t>(end - m_P));
        PassTo(end);
        Commit();
    }
}

void JavaScriptReader::SkipTag() {
    while (Have(1) && *m_P != '>') {
        Pass();
    }
    if (Have(1)) {
        ++m_P;
    }
}

bool JavaScriptReader::AtBlockEnd() {
    return m_Framed && Have(1) && *m_P == '<' && LooksAtIgnoringCase("</script");
}

bool JavaScriptReader::ReadLiteral() {
    if (!Have(1)) {
        return false;
    }
    if (*m_P == '"' || *m_P == '\'') {
        ReadString(*m_P);
        return true;
    }
    if (*m_P == '`') {
        ReadTemplate();
        return true;
    }
    return false;
}

bool JavaScriptReader::SkipQuoted(bool afterValue) {
    if (!afterValue && Have(2) && *m_P == '/' && m_P[1] != '/' && m_P[1] != '*') {
        // A regular expression: up to its closing slash, outside a class.
        const std::uint64_t line = m_Line;
        ++m_P;
        bool inClass = false;
        while (Have(1) && *m_P != '\n' && (inClass || *m_P != '/')) {
            if (*m_P == '\\' && Have(2)) {
                ++m_P;
            } else if (*m_P == '[') {
                inClass = true;
            } else if (*m_P == ']') {
                inClass = false;
            }
            ++m_P;
        }
        if (!Have(1) || *m_P != '/') {
            Fail(line, "a regular expression is not closed");
        }
        ++m_P;
        return true;
    }
    return ScriptLexer::SkipQuoted(afterValue);
}

void JavaScriptReader::ReadDoubleQuoted() {
    ReadString('"');
}

void JavaScriptReader::ReadString(char quote) {
    const std::uint64_t line = m_Line;
    const StopBytes& stops = quote == '"' ? (m_Framed ? kDoubleStops : kDoubleStopsInCode)
                                          : (m_Framed ? kSingleStops : kSingleStopsInCode);
    ++m_P;
    for (;;) {
        if (!stops.Stops(*m_P) || (*m_P == '\\' && m_P[1] != 'u') || *m_P == '<') {
            EndUnits();
            CopyLiteral(stops, '\\', kSimpleEscapes, "</script");
        }
        const char c = *m_P;
        if (c == quote) {
            EndUnits();
            ++m_P;
            return;
        }
        if (c == '\\') {
            ReadEscape(false);
        } else if (c == '<') {
            if ((m_P[1] == '/' || m_P + 1 == m_End) && AtBlockEnd()) {
                Fail(line, "a string literal is not closed before </script>");
            }
            EndUnits();
            EmitByte(*m_P++);
        } else if (c == '\n' || c == '\r') {
            Fail(line, "a string literal is not closed");
        } else if (m_P != m_End) {
            EndUnits();
            EmitByte(*m_P++); // a NUL in the string
        } else if (!Have(1)) {
            Fail(line, "a string literal is not closed");
        }
    }
}

void JavaScriptReader::ReadTemplate() {
    const std::uint64_t line = m_Line;
    ++m_P;
    for (;;) {
        const char* run = m_P;
        m_P = kTemplateStops.Find(m_P);
        if (m_P != run) {
            EndUnits();
            EmitRun(run, m_P);
        }
        const char c = *m_P;
        if (c == '`') {
            EndUnits();
            ++m_P;
            return;
        }
        // A surrogate an escape left waiting may pair with the next escape,
        // as in a string, or with what is read next where the bytes ran out.
        if (c != '\\' && m_P != m_End) {
            EndUnits();
        }
        if (c == '\\') {
            ReadEscape(true);
        } else if (c == '$' && LooksAt("${")) {
            const std::uint64_t exprLine = m_Line;
            m_P += 2;
            const std::uint64_t inner = Offset(m_P);
            bool loose = false;
            const std::uint64_t end = ScanExpression(false, false, '}', loose);
            if (!Have(1) || *m_P != '}') {
                Fail(exprLine, "a ${…} in a template literal is not closed");
            }
            ++m_P;
            EmitPlaceholder(inner, end, exprLine, "an expression in a template literal");
        } else if (c == '\r') {
            // A template's CR LF and lone CR are each a line feed.
            ++m_P;
            if (Have(1) && *m_P == '\n') {
                Pass();
            } else {
                ++m_Line;
            }
            EmitByte('\n');
        } else if (c == '\n') {
            EmitByte('\n');
            Pass();
        } else if (c == '<' && AtBlockEnd()) {
            Fail(line, "a template literal is not closed before </script>");
        } else if (m_P != m_End) {
            EmitByte(*m_P++);
        } else if (!Have(1)) {
            Fail(line, "a template literal is not closed");
        }
    }
}

void JavaScriptReader::ReadEscape(bool inTemplate) {
    const std::uint64_t line = m_Line;
    if (!Have(2)) {
        Fail(line, "a string literal is not closed");
    }
    const char c = m_P[1];
    m_P += 2;
    if (const char stands = kSimpleEscapes[static_cast<unsigned char>(c)]; stands != '\0') {
        return EmitUnit(static_cast<unsigned char>(stands));
    }
    std::uint32_t value = 0;
    switch (c) {
    case 'x':
        if (!ReadHex(2, value)) {
            Fail(line, "an escape \\x is not two hexadecimal digits");
        }
        return EmitUnit(value);
    case 'u':
        if (Have(1) && *m_P == '{') {
            ++m_P;
            std::size_t digits = 0;
            while (Have(1) && *m_P != '}' && value <= 0x10FFFF) {
                std::uint32_t digit = 0;
                if (!ReadHex(1, digit)) {
                    Fail(line, "an escape \\u{…} is not a character");
                }
                value = value * 16 + digit;
                ++digits;
            }
            if (digits == 0 || value > 0x10FFFF || !Have(1)) {
                Fail(line, "an escape \\u{…} is not a character");
            }
            ++m_P;
            if (value >= 0x10000) {
                EndUnits();
                return EmitCharacter(value);
            }
            return EmitUnit(value);
        }
        if (!ReadHex(4, value)) {
            Fail(line, "an escape \\u is not four hexadecimal digits");
        }
        return EmitUnit(value);
    case '\r':
        if (Have(1) && *m_P == '\n') {
            ++m_P;
        }
        ++m_Line;
        return; // a line continuation
    case '\n':
        ++m_Line;
        return;
    default:
        break;
    }
    if (c == '\xE2' && Have(2) && m_P[0] == '\x80' && (m_P[1] == '\xA8' || m_P[1] == '\xA9')) {
        m_P += 2; // U+2028 or U+2029 continues the line too
        return;
    }
    if (c >= '0' && c <= '7') {
        const bool zeroAlone = c == '0' && !(Have(1) && *m_P >= '0' && *m_P <= '9');
        if (zeroAlone) {
            return EmitUnit(0);
        }
        if (inTemplate) {
            Fail(line, "a template literal holds an octal escape");
        }
        value = static_cast<std::uint32_t>(c - '0');
        const int most = c <= '3' ? 2 : 1;
        for (int digits = 0; digits < most && Have(1) && *m_P >= '0' && *m_P <= '7'; ++digits) {
            value = value * 8 + static_cast<std::uint32_t>(*m_P++ - '0');
        }
        return EmitUnit(value);
    }
    // Any other character stands for itself.
    EndUnits();
    --m_P;
    if (static_cast<unsigned char>(c) >= 0x80) {
        return; // its bytes are copied as they come
    }
    EmitByte(*m_P++);
}

} // namespace quillomatic
