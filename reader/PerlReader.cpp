// Reads a Perl script back into the HTML it prints.
#include "PerlReader.h"

#include "StopBytes.h"
#include "TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quillomatic {
namespace {

const StopBytes kDoubleQuotedStops("\"\\$@\n");
// The escapes that stand for one ASCII byte, where no case modifier is in force.
constexpr auto kSimpleEscapes = EscapeTable("\"\"\\\\$$@@n\nt\tr\rf\fb\ba\ae\x1B");

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameByte(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

// A word right after a sigil, "->" or "::" is a name ($q, $obj->s), not a quote-like operator.
bool IsNameAfter(char before, char beforeThat) {
    return std::strchr("$@%&*", before) != nullptr || (before == '>' && beforeThat == '-') ||
           (before == ':' && beforeThat == ':');
}

char ClosingOf(char open) {
    switch (open) {
    case '(':
        return ')';
    case '[':
        return ']';
    case '{':
        return '}';
    case '<':
        return '>';
    default:
        return open;
    }
}

// Perl's words are in one letter case.
template <std::size_t N>
bool IsOneOf(std::string_view word, const std::array<std::string_view, N>& words) {
    return std::ranges::find(words, word) != words.end();
}

constexpr std::array<std::string_view, 12> kControl = {"if",    "elsif", "else",  "unless",
                                                       "while", "until", "for",   "foreach",
                                                       "sub",   "do",    "BEGIN", "END"};
constexpr std::array<std::string_view, 8> kModifiers = {"if",  "unless",  "while", "until",
                                                        "for", "foreach", "or",    "and"};
constexpr std::array<std::string_view, 3> kQuiet = {"use", "no", "package"};

} // namespace

PerlReader::PerlReader(TextStream& script, ScriptSink& html, ReadReport& report)
    : ScriptLexer(script, html, report) {}

bool PerlReader::IsWordByte(char c) const {
    return IsNameByte(c);
}

void PerlReader::ReadScript() {
    ExpectHeader();
    SkipByteOrderMark();
    if (LooksAt("=") && Have(2) && IsNameStart(m_P[1])) {
        SkipPod();
    }
    while (!m_Ended) {
        SkipBlanks();
        HoldNothing();
        if (AtEnd()) {
            return;
        }
        if (*m_P == 'p' && LooksAt("print \"")) {
            const Mark start = Here();
            if (ReadOwnStatement("print ",
                                 [this, start] {
                                     ReadDelimited(true);
                                     ArgumentDone(start);
                                 },
                                 ";", {})) {
                continue;
            }
        }
        ReadStatement();
    }
}

void PerlReader::SkipBlanks() {
    for (;;) {
        if (!Have(1)) {
            return;
        }
        const char c = *m_P;
        if (c == '\n') {
            if (m_HeredocPending && Offset(m_P) == m_HeredocLineEnd) {
                m_P = At(m_HeredocResume);
                m_Line = m_HeredocResumeLine;
                m_HeredocPending = false;
                HoldWhole(false);
            } else {
                Pass();
            }
            if (LooksAt("=") && Have(2) && IsNameStart(m_P[1])) {
                SkipPod();
            }
        } else if (IsBlankByte(c)) {
            ++m_P;
        } else if (c == '#') {
            while (Have(1) && *m_P != '\n') {
                ++m_P;
            }
        } else {
            return;
        }
    }
}

void PerlReader::SkipPod() {
    // Up to a line that starts with "=cut", and that line.
    for (;;) {
        const bool cut = LooksAt("=cut") && !(Have(5) && IsNameByte(m_P[4]));
        while (Have(1) && *m_P != '\n') {
            ++m_P;
        }
        if (!Have(1)) {
            return;
        }
        Pass();
        if (cut) {
            return;
        }
    }
}

void PerlReader::ReadStatement() {
    StartStatement();
    const std::uint64_t start = Offset(m_P);
    const char c = *m_P;
    if (c == ';' || c == '{' || c == '}') {
        ++m_P;
        return;
    }
    if (IsNameStart(c)) {
        const std::string_view word = WordAt();
        if (word == "__END__" || word == "__DATA__") {
            m_Ended = true;
            return;
        }
        if (word == "print") {
            m_P += word.size();
            ReadPrint(start);
            return;
        }
        if (IsOneOf(word, kControl)) {
            const bool named = word == "sub";
            m_P += word.size();
            LeaveOutControl(start, named);
            return;
        }
        if (IsOneOf(word, kQuiet)) {
            SkipStatement();
            PassSemicolon();
            return;
        }
    }
    LeaveOutStatement(start, StatementLine(), "not a print of literals");
    Commit();
}

void PerlReader::ReadPrint(std::uint64_t start) {
    SkipBlanks();
    const bool parenthesised = Have(1) && *m_P == '(';
    if (parenthesised) {
        ++m_P;
        SkipBlanks();
    }
    // A file handle: a bare word or "{…}" not followed by a comma, or a
    // scalar followed by a term.
    bool elsewhere = false;
    if (Have(1) && *m_P == '{') {
        elsewhere = true;
    } else if (Have(1) && (IsNameStart(*m_P) || *m_P == '$')) {
        const std::uint64_t before = Offset(m_P);
        const std::uint64_t line = m_Line;
        const bool scalar = *m_P == '$';
        m_P += scalar ? 1 : 0;
        const std::string word(ReadWord());
        const bool spaced = Have(1) && IsBlankByte(*m_P);
        SkipBlanks();
        const char next = Have(1) ? *m_P : ';';
        const bool handle =
            !word.empty() && (scalar ? spaced && std::strchr("\"'$@", next) != nullptr
                                     : std::strchr(",(;.=-)", next) == nullptr &&
                                           !(next == ':' && Have(2) && m_P[1] == ':') &&
                                           word != "q" && word != "qq" && word != "qw");
        if (handle && !scalar && word == "STDOUT") {
            // print STDOUT LIST: the standard output, as print LIST.
        } else if (handle) {
            elsewhere = true;
        } else {
            m_P = At(before);
            m_Line = line;
        }
    }
    if (elsewhere) {
        LeaveOutStatement(start, StatementLine(), "prints elsewhere");
        Commit();
        return;
    }
    ReadArguments(true, parenthesised ? ')' : 0);
    if (parenthesised) {
        SkipBlanks();
        if (Have(1) && *m_P == ')') {
            ++m_P;
        }
    }
    EndPrint();
}

void PerlReader::EndPrint() {
    SkipBlanks();
    if (!AtEnd() && *m_P != ';' && *m_P != '}') {
        const std::uint64_t start = Offset(m_P);
        const std::string_view word = IsNameStart(*m_P) ? WordAt() : std::string_view();
        const bool modifier = IsOneOf(word, kModifiers);
        const std::uint64_t end = SkipStatement();
        LeaveOut(start, end, m_Line, modifier ? "control flow" : "not a print of literals");
    }
    PassSemicolon();
    Commit();
}

std::size_t PerlReader::ConcatenationAt() {
    return Have(1) && *m_P == '.' && !(Have(2) && (m_P[1] == '=' || m_P[1] == '.')) ? 1 : 0;
}

bool PerlReader::AtStatementEnd(bool /*afterValue*/) {
    return Have(1) && (*m_P == ';' || *m_P == '}');
}

std::size_t PerlReader::OperandPunctuationAt(bool afterValue) {
    if (afterValue) {
        for (const std::string_view access : {"->", "::", "++", "--"}) {
            if (LooksAt(access)) {
                return access.size();
            }
        }
        return 0;
    }
    return Have(1) && std::strchr("$@%&\\!-+~*", *m_P) != nullptr ? 1 : 0;
}

bool PerlReader::IsLooseWord(std::string_view word) const {
    static constexpr std::array<std::string_view, 10> kLoose = {"eq", "ne",  "lt",  "gt",  "le",
                                                                "ge", "cmp", "not", "xor", "isa"};
    return IsOneOf(word, kLoose);
}

bool PerlReader::EndsArguments(std::string_view word) const {
    return IsOneOf(word, kModifiers);
}

void PerlReader::ArgumentDone(Mark start) {
    if (m_Wide.empty()) {
        return;
    }
    // A character above U+00FF: the whole argument goes out in UTF-8.
    std::string recoded;
    const char* const held = HeldSince(start);
    const std::size_t size = HeldSize() - start.Html;
    std::size_t wide = 0;
    for (std::size_t i = 0; i < size;) {
        if (wide < m_Wide.size() && m_Wide[wide].first == start.Html + i) {
            recoded.append(held + i, m_Wide[wide].second);
            i += m_Wide[wide++].second;
            continue;
        }
        char utf8[2];
        const char* const end = AppendUtf8(static_cast<unsigned char>(held[i++]), utf8);
        recoded.append(utf8, static_cast<std::size_t>(end - utf8));
    }
    m_Wide.clear();
    Resize(start.Html);
    Emit(recoded);
}

void PerlReader::TakenBack(std::size_t size) {
    // A literal read and taken back again (one an operator follows, or one
    // skipped in an expression) leaves no wide character behind; the places
    // go in ascending order.
    while (!m_Wide.empty() && m_Wide.back().first >= size) {
        m_Wide.pop_back();
    }
}

void PerlReader::EmitValue(std::uint32_t value) {
    if (value > 0x10FFFF) {
        value = 0xFFFD;
    }
    if (value > 0xFF) {
        const std::size_t at = HeldSize();
        EmitCharacter(value);
        m_Wide.emplace_back(at, HeldSize() - at);
        m_NextCase = 0;
        return;
    }
    const char c = static_cast<char>(value);
    EmitText(&c, 1);
}

void PerlReader::EmitText(const char* from, std::size_t count) {
    if (m_CaseMode == 0 && m_NextCase == 0) {
        Emit(from, count);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        char c = from[i];
        const char mode = m_NextCase != 0 ? m_NextCase : m_CaseMode;
        if (mode == 'U' || mode == 'u') {
            c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        } else if (mode == 'L' || mode == 'l') {
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        if (m_NextCase == 0 && m_CaseMode == 'Q' && !IsNameByte(c)) {
            EmitByte('\\');
        }
        m_NextCase = 0;
        EmitByte(c);
    }
}

bool PerlReader::ReadLiteral() {
    if (!Have(1)) {
        return false;
    }
    const char c = *m_P;
    if (c == '"' || c == '\'') {
        ReadDelimited(c == '"');
        return true;
    }
    if (c == 'q' && Have(2) && !(Before() != '\0' && IsNameAfter(Before(), Before(2)))) {
        const std::size_t word = m_P[1] == 'q' ? 2 : 1;
        const std::size_t at = PastSpaces(word);
        if (!Have(at + 1) || (at > word && m_P[at] == '#') || IsNameByte(m_P[word]) ||
            IsBlankByte(m_P[at]) || (m_P[at] == '=' && Have(at + 2) && m_P[at + 1] == '>') ||
            std::strchr(",;)}-", m_P[at]) != nullptr) {
            return false;
        }
        m_P += at;
        ReadDelimited(word == 2);
        return true;
    }
    if (LooksAt("<<") && Have(3) &&
        (m_P[2] == '"' || m_P[2] == '\'' || m_P[2] == '~' || IsNameStart(m_P[2]))) {
        ReadHeredoc();
        return true;
    }
    return false;
}

bool PerlReader::SkipQuoted(bool afterValue) {
    if (!Have(1)) {
        return false;
    }
    const char c = *m_P;
    if (c == '`') {
        SkipDelimited();
        return true;
    }
    if (c == '/' && !afterValue) {
        SkipDelimited();
        return true;
    }
    if (IsNameStart(c) && !(Before() != '\0' && IsNameAfter(Before(), Before(2)))) {
        const std::string_view word = WordAt();
        const bool twice = word == "s" || word == "tr" || word == "y";
        if (twice || word == "m" || word == "qr" || word == "qw" || word == "qx") {
            const std::size_t at = PastSpaces(word.size());
            if (Have(at + 1) && !IsNameByte(m_P[at]) && !IsBlankByte(m_P[at]) &&
                std::strchr(",;)=}-", m_P[at]) == nullptr) {
                m_P += at;
                const char open = *m_P;
                SkipDelimited();
                if (twice) {
                    if (ClosingOf(open) != open) {
                        SkipBlanks();
                    } else {
                        --m_P; // the middle delimiter opens the second part
                    }
                    SkipDelimited();
                }
                return true;
            }
        }
    }
    return ScriptLexer::SkipQuoted(afterValue);
}

void PerlReader::SkipDelimited() {
    const std::uint64_t line = m_Line;
    const char open = *m_P;
    const char close = ClosingOf(open);
    ++m_P;
    int depth = 0;
    for (;;) {
        if (!Have(1)) {
            Fail(line, "a quoted text is not closed");
        }
        const char c = *m_P;
        if (c == '\\' && Have(2)) {
            m_P += m_P[1] == '\n' ? 1 : 2;
            continue;
        }
        if (c == close && depth == 0) {
            ++m_P;
            return;
        }
        if (close != open) {
            depth += c == open ? 1 : c == close ? -1 : 0;
        }
        Pass();
    }
}

void PerlReader::ReadDelimited(bool interpolating) {
    const std::uint64_t line = m_Line;
    const char open = *m_P;
    const char close = ClosingOf(open);
    ++m_P;
    // Made only for other delimiters than quotes, the rare case.
    std::array<bool, 256> own;
    if (open != '"') {
        own = interpolating ? StopTable(std::string("\\$@\n") + open + close)
                            : StopTable(std::string("\\\n") + open + close);
    }
    int depth = 0;
    m_CaseMode = 0;
    m_NextCase = 0;
    for (;;) {
        const char* run = m_P;
        if (open == '"' && interpolating && m_CaseMode == 0 && m_NextCase == 0) {
            CopyLiteral(kDoubleQuotedStops, '\\', kSimpleEscapes);
        } else if (open == '"') {
            m_P = kDoubleQuotedStops.Find(m_P);
            EmitText(run, static_cast<std::size_t>(m_P - run));
        } else {
            while (!own[static_cast<unsigned char>(*m_P)]) {
                ++m_P;
            }
            EmitText(run, static_cast<std::size_t>(m_P - run));
        }
        const char c = *m_P;
        if (c == '\0' && m_P == m_End) {
            if (!Have(1)) {
                Fail(line, "a string literal is not closed");
            }
            continue;
        }
        if (c == close && depth == 0) {
            ++m_P;
            return;
        }
        if (c == '\\') {
            if (!Have(2)) {
                Fail(line, "a string literal is not closed");
            }
            if (!interpolating) {
                // Only the delimiters and the backslash itself are escaped.
                if (m_P[1] == '\\' || m_P[1] == open || m_P[1] == close) {
                    ++m_P;
                }
                EmitByte(*m_P);
                Pass();
                continue;
            }
            const char escaped = m_P[1];
            if (escaped == open || escaped == close ||
                ((escaped == '\\' || escaped == '$' || escaped == '@') && m_CaseMode == 0 &&
                 m_NextCase == 0)) {
                EmitText(m_P + 1, 1);
                m_P += 2;
                continue;
            }
            ReadEscape();
            continue;
        }
        if ((c == '$' || c == '@') && interpolating && ReadInterpolation()) {
            continue;
        }
        if (close != open) {
            depth += c == open ? 1 : c == close ? -1 : 0;
        }
        if (c == '\n') {
            EmitByte(c);
            Pass();
        } else {
            EmitText(m_P, 1);
            ++m_P;
        }
    }
}

void PerlReader::ReadEscape() {
    const char c = m_P[1];
    m_P += 2;
    if (const char stands = kSimpleEscapes[static_cast<unsigned char>(c)]; stands != '\0') {
        return EmitText(&stands, 1);
    }
    switch (c) {
    case 'U':
    case 'L':
    case 'Q':
        m_CaseMode = c;
        return;
    case 'E':
        m_CaseMode = 0;
        return;
    case 'u':
    case 'l':
        m_NextCase = c;
        return;
    case 'c':
        if (Have(1)) {
            const char control = *m_P >= 'a' && *m_P <= 'z' ? char(*m_P - 'a' + 'A') : *m_P;
            ++m_P;
            EmitValue(static_cast<std::uint32_t>(static_cast<unsigned char>(control) ^ 0x40));
        }
        return;
    case 'x': {
        std::uint32_t value = 0;
        if (Have(1) && *m_P == '{') {
            ++m_P;
            while (Have(1) && *m_P != '}') {
                if (HexDigitValue(*m_P) >= 0) {
                    value = value * 16 + static_cast<std::uint32_t>(HexDigitValue(*m_P));
                }
                ++m_P;
            }
            m_P += Have(1) ? 1 : 0;
        } else {
            for (int digits = 0; digits < 2 && Have(1) && HexDigitValue(*m_P) >= 0; ++digits) {
                value = value * 16 + static_cast<std::uint32_t>(HexDigitValue(*m_P++));
            }
        }
        return EmitValue(value);
    }
    case 'o':
        if (Have(1) && *m_P == '{') {
            std::uint32_t value = 0;
            ++m_P;
            while (Have(1) && *m_P != '}') {
                value = value * 8 + static_cast<std::uint32_t>(*m_P++ - '0');
            }
            m_P += Have(1) ? 1 : 0;
            return EmitValue(value);
        }
        return EmitText("o", 1);
    case 'N':
        if (LooksAt("{U+")) {
            std::uint32_t value = 0;
            m_P += 3;
            while (Have(1) && HexDigitValue(*m_P) >= 0) {
                value = value * 16 + static_cast<std::uint32_t>(HexDigitValue(*m_P++));
            }
            m_P += Have(1) && *m_P == '}' ? 1 : 0;
            return EmitValue(value);
        }
        Fail(m_Line, "a named character \\N{…} is not one this reader knows");
    default:
        break;
    }
    if (c >= '0' && c <= '7') {
        std::uint32_t value = static_cast<std::uint32_t>(c - '0');
        for (int digits = 1; digits < 3 && Have(1) && *m_P >= '0' && *m_P <= '7'; ++digits) {
            value = value * 8 + static_cast<std::uint32_t>(*m_P++ - '0');
        }
        return EmitValue(value);
    }
    if (c == '\n') {
        --m_P;
        EmitByte('\n');
        Pass();
        return;
    }
    // Any other character stands for itself.
    EmitText(&c, 1);
}

bool PerlReader::ReadInterpolation() {
    const std::uint64_t start = Offset(m_P);
    const std::uint64_t line = m_Line;
    const char sigil = *m_P;
    if (!Have(2)) {
        return false;
    }
    const char next = m_P[1];
    if (next == '{') {
        ++m_P;
        SkipGroup();
    } else if (IsNameStart(next) || (next == ':' && Have(3) && m_P[2] == ':')) {
        ++m_P;
        for (;;) {
            while (Have(1) && IsNameByte(*m_P)) {
                ++m_P;
            }
            if (LooksAt("::") && Have(3) && IsNameStart(m_P[2])) {
                m_P += 2;
                continue;
            }
            break;
        }
    } else if (sigil == '$' && next >= '0' && next <= '9') {
        ++m_P;
        while (Have(1) && *m_P >= '0' && *m_P <= '9') {
            ++m_P;
        }
    } else if (sigil == '$' && next == '$') {
        m_P += 2;
        while (Have(1) && IsNameByte(*m_P)) {
            ++m_P;
        }
    } else if (sigil == '$' && (next == ' ' || next == '\t')) {
        // "$ name" is $name; a "$" before other blanks stays.
        const std::size_t at = PastSpaces(1);
        if (!(Have(at + 1) && IsNameStart(m_P[at]))) {
            return false;
        }
        m_P += at;
        while (Have(1) && IsNameByte(*m_P)) {
            ++m_P;
        }
    } else if (sigil == '$' && next == '^' && Have(3) && m_P[2] >= 'A' && m_P[2] <= 'Z') {
        m_P += 3;
    } else if (sigil == '$' && std::strchr("&`'+!@/\\,;.|<>()[]^~=-:?%}", next) != nullptr) {
        // One of Perl's punctuation variables.
        m_P += 2;
        EmitPlaceholder(start, Offset(m_P), line, "a variable in a string");
        return true;
    } else {
        return false;
    }
    // Subscripts belong to the variable: [..], {..}, ->[..], ->{..}.
    for (;;) {
        if (Have(1) && (*m_P == '[' || *m_P == '{')) {
            SkipGroup();
        } else if (LooksAt("->[") || LooksAt("->{")) {
            m_P += 2;
            SkipGroup();
        } else {
            break;
        }
    }
    EmitPlaceholder(start, Offset(m_P), line,
                    sigil == '@' ? "an array in a string" : "a variable in a string");
    return true;
}

void PerlReader::ReadHeredoc() {
    const std::uint64_t line = m_Line;
    m_P += 2;
    const bool indented = Have(1) && *m_P == '~';
    m_P += indented ? 1 : 0;
    bool interpolating = true;
    std::string marker;
    if (Have(1) && (*m_P == '"' || *m_P == '\'')) {
        const char quote = *m_P++;
        interpolating = quote == '"';
        while (Have(1) && *m_P != quote && *m_P != '\n') {
            marker += *m_P++;
        }
        if (!Have(1) || *m_P != quote) {
            Fail(line, "a heredoc's marker is not closed");
        }
        ++m_P;
    } else {
        marker = std::string(ReadWord());
    }
    const std::uint64_t resumeAt = Offset(m_P);
    // The body starts on the line after this one, or after the bodies of
    // the heredocs before it on this line.
    HoldWhole(true);
    std::uint64_t bodyStart = 0;
    if (m_HeredocPending) {
        bodyStart = m_HeredocResume;
    } else {
        std::size_t at = 0;
        while (Have(at + 1) && m_P[at] != '\n') {
            ++at;
        }
        if (!Have(at + 1)) {
            Fail(line, "a heredoc has no body");
        }
        m_HeredocLineEnd = Offset(m_P + at);
        bodyStart = m_HeredocLineEnd + 1;
        m_HeredocResumeLine = line + 1;
    }
    // Find the terminator first: "<<~" takes its indentation off every line.
    m_P = At(bodyStart);
    std::size_t lineStart = 0;
    std::size_t indentation = 0;
    for (;;) {
        const std::size_t at = indented ? PastSpaces(lineStart) : lineStart;
        std::size_t end = at;
        while (Have(end + 1) && m_P[end] != '\n') {
            ++end;
        }
        const std::size_t contentEnd = end > at && m_P[end - 1] == '\r' ? end - 1 : end;
        if (std::string_view(m_P + at, contentEnd - at) == marker) {
            indentation = at - lineStart;
            break;
        }
        if (!Have(end + 1)) {
            Fail(line, "a heredoc's terminator \"" + marker + "\" is missing");
        }
        lineStart = end + 1;
    }
    const std::uint64_t terminator = Offset(m_P) + lineStart;
    m_Line = m_HeredocResumeLine;
    while (Offset(m_P) < terminator) {
        for (std::size_t i = 0; i < indentation && (*m_P == ' ' || *m_P == '\t'); ++i) {
            ++m_P;
        }
        const char* lineEnd =
            static_cast<const char*>(std::memchr(m_P, '\n', static_cast<std::size_t>(m_End - m_P)));
        if (!interpolating) {
            Emit(m_P, static_cast<std::size_t>(lineEnd - m_P) + 1);
            m_P = lineEnd + 1;
            ++m_Line;
            continue;
        }
        m_CaseMode = 0;
        while (*m_P != '\n') {
            if (*m_P == '\\' && Have(2) && m_P[1] != '\n') {
                ReadEscape();
            } else if ((*m_P == '$' || *m_P == '@') && ReadInterpolation()) {
            } else {
                EmitText(m_P, 1);
                ++m_P;
            }
        }
        EmitByte('\n');
        Pass();
    }
    // Past the terminator's line.
    while (Have(1) && *m_P != '\n') {
        ++m_P;
    }
    m_HeredocResume = Have(1) ? Offset(m_P) + 1 : Offset(m_P);
    m_HeredocResumeLine = m_Line + 1;
    m_HeredocPending = true;
    m_P = At(resumeAt);
    m_Line = line;
}

} // namespace quillomatic
