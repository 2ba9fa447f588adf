// What the five readers share: the script a block at a time, the HTML of a
// statement held until the statement is whole, and the arguments of a print.
#include "ScriptLexer.h"

#include "FileError.h"
#include "ScriptSink.h"
#include "StopBytes.h"
#include "TextEncoding.h"
#include "TextStream.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace quillomatic {
namespace {

// The script is read this much at a time.
constexpr std::size_t kReadBlock = std::size_t(1) << 18;
// Committed HTML goes to the sink in pieces of about this size.
constexpr std::size_t kFlushAt = std::size_t(1) << 18;
// A CGI header is looked for in at most this much of the first HTML.
constexpr std::size_t kMostHeader = std::size_t(1) << 16;
// The report shows this much of a statement or placeholder.
constexpr std::size_t kBrief = 60;

bool IsHeaderNameByte(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

} // namespace

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlankByte(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlankByte(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string BriefText(std::string_view source) {
    std::string brief;
    for (const char c : Trimmed(source)) {
        if (IsBlankByte(c)) {
            if (!brief.empty() && brief.back() != ' ') {
                brief += ' ';
            }
            continue;
        }
        if (brief.size() >= kBrief && !IsUtf8Continuation(static_cast<unsigned char>(c))) {
            return brief + "\xE2\x80\xA6"; // an ellipsis
        }
        // A control character would act on the terminal the report goes to.
        brief += static_cast<unsigned char>(c) < 0x20 || c == '\x7F' ? '?' : c;
    }
    return brief;
}

ScriptLexer::ScriptLexer(TextStream& script, ScriptSink& html, ReadReport& report)
    : m_Page(script), m_ScriptPath(script.Path()), m_Html(html), m_Report(report),
      m_Buffer(std::make_unique_for_overwrite<char[]>(2 * kReadBlock + 1 + StopBytes::kPadding)),
      m_Capacity(2 * kReadBlock), m_Out(std::make_unique_for_overwrite<char[]>(2 * kFlushAt)),
      m_OutCapacity(2 * kFlushAt) {
    m_P = m_End = m_Buffer.get();
    std::memset(m_Buffer.get(), 0, 1 + StopBytes::kPadding);
}

ScriptLexer::~ScriptLexer() = default;

void ScriptLexer::Read() {
    ReadScript();
    Commit();
    if (m_HeaderUndecided) {
        TakeHeader(true);
    }
    Flush();
}

bool ScriptLexer::Fill(std::size_t count) {
    while (!m_AtEndOfScript && static_cast<std::size_t>(m_End - m_P) < count) {
        if (!m_HoldWhole && Offset(m_P) - m_Pin > kHoldLimit) {
            // A statement this long is taken as printing what it has printed.
            Commit();
            m_Pin = Offset(m_P);
        }
        char* const data = m_Buffer.get();
        const char* const keep = std::min(m_P, At(m_Pin));
        const auto kept = static_cast<std::size_t>(m_End - keep);
        const auto cursor = static_cast<std::size_t>(m_P - keep);
        if (m_Capacity - kept < kReadBlock) {
            // Held bytes fill the buffer: a larger one.
            const std::size_t capacity = std::max(2 * m_Capacity, kept + kReadBlock);
            auto larger =
                std::make_unique_for_overwrite<char[]>(capacity + 1 + StopBytes::kPadding);
            std::memcpy(larger.get(), keep, kept);
            m_BufferOffset += static_cast<std::uint64_t>(keep - data);
            m_Buffer = std::move(larger);
            m_Capacity = capacity;
        } else if (keep != data) {
            std::memmove(data, keep, kept);
            m_BufferOffset += static_cast<std::uint64_t>(keep - data);
        }
        m_P = m_Buffer.get() + cursor;
        m_End = m_Buffer.get() + kept;
        const std::size_t count_read = m_Page.Read(m_Buffer.get() + kept, m_Capacity - kept);
        m_AtEndOfScript = count_read == 0;
        m_End += count_read;
        // The NUL that ends every scan, and zeros where a scan reads ahead.
        std::memset(m_Buffer.get() + (m_End - m_Buffer.get()), 0, 1 + StopBytes::kPadding);
    }
    return static_cast<std::size_t>(m_End - m_P) >= count;
}

void ScriptLexer::SkipByteOrderMark() {
    if (LooksAt("\xEF\xBB\xBF")) {
        m_P += 3;
    }
}

void ScriptLexer::Pass() {
    m_Line += *m_P == '\n';
    ++m_P;
}

void ScriptLexer::PassTo(const char* end) {
    for (const char* at = m_P; (at = static_cast<const char*>(std::memchr(
                                    at, '\n', static_cast<std::size_t>(end - at)))) != nullptr;
         ++at) {
        ++m_Line;
    }
    m_P = end;
}

std::string ScriptLexer::SourceText(std::uint64_t from, std::uint64_t to) const {
    from = std::max(from, m_BufferOffset);
    if (to <= from) {
        return {};
    }
    return std::string(At(from), static_cast<std::size_t>(to - from));
}

bool ScriptLexer::IsWordByte(char c) const {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

std::string_view ScriptLexer::WordAt() {
    std::size_t length = 0;
    while (Have(length + 1) && IsWordByte(m_P[length])) {
        ++length;
    }
    // A number with a fraction is one word: "1.5" is not "1" joined to "5".
    if (length > 0 && m_P[0] >= '0' && m_P[0] <= '9' && Have(length + 2) && m_P[length] == '.' &&
        m_P[length + 1] >= '0' && m_P[length + 1] <= '9') {
        ++length;
        while (Have(length + 1) && IsWordByte(m_P[length])) {
            ++length;
        }
    }
    return {m_P, length};
}

std::string_view ScriptLexer::ReadWord() {
    const std::string_view word = WordAt();
    m_P += word.size();
    return word;
}

void ScriptLexer::StartStatement() {
    m_Pin = Offset(m_P);
    m_StatementLine = m_Line;
}

bool ScriptLexer::ReadPageTextTo(char stop) {
    for (;;) {
        HoldNothing();
        if (AtEnd()) {
            return false;
        }
        const auto* const at =
            static_cast<const char*>(std::memchr(m_P, stop, static_cast<std::size_t>(m_End - m_P)));
        const char* const end = at != nullptr ? at : m_End;
        Emit(m_P, static_cast<std::size_t>(end - m_P));
        PassTo(end);
        Commit();
        if (at != nullptr) {
            return true;
        }
    }
}

void ScriptLexer::Grow(std::size_t more) {
    const std::size_t capacity = std::max(2 * m_OutCapacity, m_OutSize + more);
    auto larger = std::make_unique_for_overwrite<char[]>(capacity);
    std::memcpy(larger.get(), m_Out.get(), m_OutSize);
    m_Out = std::move(larger);
    m_OutCapacity = capacity;
}

void ScriptLexer::EmitCharacter(char32_t c) {
    if (m_OutSize + 4 > m_OutCapacity) {
        Grow(4);
    }
    m_OutSize = static_cast<std::size_t>(AppendUtf8(c, m_Out.get() + m_OutSize) - m_Out.get());
}

void ScriptLexer::TakeBack(Mark mark) {
    m_OutSize = std::max(mark.Html, m_OutCommitted);
    m_Report.TruncateTo(std::max(mark.Notes, m_NotesCommitted));
    TakenBack(m_OutSize);
}

void ScriptLexer::Note(std::uint64_t line, std::string text) {
    m_Report.Add(line, std::move(text));
}

void ScriptLexer::EmitPlaceholder(std::uint64_t from, std::uint64_t to, std::uint64_t line,
                                  std::string_view standsFor) {
    const std::string source = SourceText(from, to);
    const std::string_view text = Trimmed(source);
    Emit("{{");
    Emit(text);
    Emit("}}");
    Note(line, "{{" + BriefText(text) + "}} stands for " + std::string(standsFor));
}

void ScriptLexer::LeaveOut(std::uint64_t from, std::uint64_t to, std::uint64_t line,
                           std::string_view why) {
    Note(line, "left out, " + std::string(why) + ": " + BriefText(SourceText(from, to)));
}

void ScriptLexer::Commit() {
    if (m_FirstPrintLine == 0 && m_OutSize > m_OutCommitted) {
        m_FirstPrintLine = m_StatementLine;
    }
    m_OutCommitted = m_OutSize;
    m_NotesCommitted = m_Report.Size();
    if (m_OutCommitted >= kFlushAt) {
        Flush();
    }
}

void ScriptLexer::Flush() {
    if (m_HeaderUndecided && !TakeHeader(false)) {
        return;
    }
    if (m_OutCommitted == 0) {
        return;
    }
    char* const out = m_Html.Room(m_OutCommitted);
    std::memcpy(out, m_Out.get(), m_OutCommitted);
    m_Html.EndAt(out + m_OutCommitted);
    std::memmove(m_Out.get(), m_Out.get() + m_OutCommitted, m_OutSize - m_OutCommitted);
    m_OutSize -= m_OutCommitted;
    m_OutCommitted = 0;
}

bool ScriptLexer::TakeHeader(bool last) {
    // Lines "Name: value" up to an empty line, one of them the Content-Type.
    const std::string_view html(m_Out.get(), m_OutCommitted);
    std::size_t at = 0;
    bool contentType = false;
    const auto decided = [this] {
        m_HeaderUndecided = false;
        return true;
    };
    for (;;) {
        const std::size_t end = html.find('\n', at);
        std::string_view line = html.substr(at, end == std::string_view::npos ? end : end - at);
        if (end != std::string_view::npos && line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (end != std::string_view::npos && line.empty()) {
            if (!contentType) {
                return decided();
            }
            const std::size_t cut = end + 1;
            const std::string first(html.substr(0, html.find_first_of("\r\n")));
            std::memmove(m_Out.get(), m_Out.get() + cut, m_OutSize - cut);
            m_OutSize -= cut;
            m_OutCommitted -= cut;
            // In its place among the entries, which go by line.
            std::size_t place = 0;
            while (place < m_Report.Size() && m_Report.Entries()[place].Line <= m_FirstPrintLine) {
                ++place;
            }
            m_Report.Insert(place, m_FirstPrintLine,
                            "left out, the CGI header: " + BriefText(first));
            ++m_NotesCommitted;
            return decided();
        }
        std::size_t name = 0;
        while (name < line.size() && IsHeaderNameByte(line[name])) {
            ++name;
        }
        const bool whole = name < line.size();
        if (line.empty()
                ? end != std::string_view::npos
                : !(line[0] >= 'A' && line[0] <= 'Z') && !(line[0] >= 'a' && line[0] <= 'z')) {
            return decided();
        }
        if (whole && (line[name] != ':' || name == 0)) {
            return decided();
        }
        if (end == std::string_view::npos) {
            // The line is not whole yet.
            return last || html.size() > kMostHeader ? decided() : false;
        }
        contentType = contentType || EqualsIgnoringCase(line.substr(0, name), "content-type");
        at = end + 1;
    }
}

void ScriptLexer::Fail(std::uint64_t line, const std::string& what) const {
    throw FileError::Make(FileError::kInvalidFileFormat, FileError::Action::Read, m_ScriptPath,
                          "line " + std::to_string(line) + ": " + what);
}

bool ScriptLexer::SkipQuoted(bool /*afterValue*/) {
    const Mark mark = Here();
    if (ReadLiteral()) {
        TakeBack(mark);
        return true;
    }
    return false;
}

bool ScriptLexer::OperandEnds(bool commas, char closer, bool afterValue) {
    SkipBlanks();
    if (AtEnd() || AtBlockEnd() || ConcatenationAt() > 0 || AtStatementEnd(afterValue) ||
        (commas && *m_P == ',') || (closer != 0 && *m_P == closer)) {
        return true;
    }
    return IsWordByte(*m_P) && EndsArguments(WordAt());
}

std::uint64_t ScriptLexer::ScanExpression(bool atConcatenation, bool commas, char closer,
                                          bool& loose) {
    std::string open; // the brackets that close what is open, the innermost last
    std::uint64_t end = Offset(m_P);
    bool afterValue = false;
    for (;;) {
        SkipBlanks();
        if (AtEnd() || AtBlockEnd()) {
            break;
        }
        const char c = *m_P;
        if (open.empty() && ((atConcatenation && ConcatenationAt() > 0) || (commas && c == ',') ||
                             (closer != 0 && c == closer) || AtStatementEnd(afterValue))) {
            break;
        }
        if (c == '(' || c == '[' || c == '{') {
            open.push_back(c == '(' ? ')' : c == '[' ? ']' : '}');
            ++m_P;
            end = Offset(m_P);
            afterValue = false;
            continue;
        }
        if (c == ')' || c == ']' || c == '}') {
            if (open.empty()) {
                break;
            }
            open.pop_back();
            ++m_P;
            end = Offset(m_P);
            afterValue = true;
            continue;
        }
        if (SkipQuoted(afterValue)) {
            end = Offset(m_P);
            afterValue = true;
            continue;
        }
        if (IsWordByte(c)) {
            const std::string_view word = WordAt();
            if (open.empty() && m_StopAtModifiers && EndsArguments(word)) {
                break;
            }
            loose = loose || (open.empty() && IsLooseWord(word));
            m_P += word.size();
            end = Offset(m_P);
            afterValue = true;
            continue;
        }
        if (const std::size_t length = OperandPunctuationAt(afterValue)) {
            m_P += length;
            end = Offset(m_P);
            afterValue = false;
            continue;
        }
        loose = loose || open.empty();
        Pass();
        end = Offset(m_P);
        afterValue = false;
    }
    return end;
}

std::uint64_t ScriptLexer::SkipStatement() {
    bool loose = false;
    const std::uint64_t start = Offset(m_P);
    // Set back as it was: a skip may run inside another (a "${…}" in a
    // string skipped with its statement).
    const bool stopAtModifiers = std::exchange(m_StopAtModifiers, false);
    std::uint64_t end = ScanExpression(false, false, 0, loose);
    m_StopAtModifiers = stopAtModifiers;
    // A bracket that closes nothing is a statement of its own, passed.
    if (Offset(m_P) == start && Have(1) && !AtStatementEnd(false) && !AtBlockEnd()) {
        Pass();
        end = Offset(m_P);
    }
    return end;
}

void ScriptLexer::SkipGroup() {
    const char opener = *m_P;
    const char closer = opener == '(' ? ')' : opener == '[' ? ']' : '}';
    ++m_P;
    bool loose = false;
    const bool stopAtModifiers = std::exchange(m_StopAtModifiers, false);
    for (;;) {
        ScanExpression(false, false, closer, loose);
        // A statement's end inside the group is part of it (a closure's body).
        if (AtEnd() || AtBlockEnd() || *m_P == closer) {
            break;
        }
        Pass();
    }
    m_StopAtModifiers = stopAtModifiers;
    if (Have(1) && *m_P == closer) {
        ++m_P;
    }
}

void ScriptLexer::LeaveOutStatement(std::uint64_t start, std::uint64_t line,
                                    std::string_view why) {
    const std::uint64_t end = SkipStatement();
    LeaveOut(start, end, line, why);
    PassSemicolon();
}

void ScriptLexer::LeaveOutControl(std::uint64_t start, bool named, char stop) {
    SkipBlanks();
    if (named) {
        while (Have(1) && (*m_P == '&' || *m_P == '*')) {
            ++m_P;
        }
        ReadWord();
        SkipBlanks();
    }
    std::uint64_t end = Offset(m_P);
    if (stop != 0) {
        bool loose = false;
        end = ScanExpression(false, false, stop, loose);
    } else if (Have(1) && *m_P == '(') {
        SkipGroup();
        end = Offset(m_P);
    }
    LeaveOut(start, end, StatementLine(), "control flow");
    SkipBlanks();
    if (Have(1) && (*m_P == '{' || *m_P == ':')) {
        ++m_P;
    }
    Commit();
}

bool ScriptLexer::GoBack(std::uint64_t offset, std::uint64_t line) {
    if (offset < m_Pin || offset < m_BufferOffset) {
        return false; // taken as it stands already
    }
    m_P = At(offset);
    m_Line = line;
    return true;
}

bool ScriptLexer::ReadOperand(bool commas, char closer) {
    const std::uint64_t start = Offset(m_P);
    const std::uint64_t line = m_Line;
    const Mark mark = Here();
    if (AtEnd() || OperandEnds(commas, closer, false)) {
        return true;
    }
    if (ReadLiteral()) {
        if (OperandEnds(commas, closer)) {
            return true;
        }
        TakeBack(mark);
        GoBack(start, line);
    } else if (*m_P == '(') {
        ++m_P;
        ReadArguments(false, ')');
        SkipBlanks();
        if (Have(1) && *m_P == ')') {
            ++m_P;
            if (OperandEnds(commas, closer)) {
                return true;
            }
        }
        TakeBack(mark);
        GoBack(start, line);
    }
    const std::uint64_t from = Offset(m_P) < start ? start : Offset(m_P);
    bool loose = false;
    const std::uint64_t end = ScanExpression(true, commas, closer, loose);
    if (loose) {
        return false;
    }
    EmitPlaceholder(from, end, line, "what is not a literal");
    return true;
}

void ScriptLexer::ReadArguments(bool commas, char closer) {
    for (;;) {
        SkipBlanks();
        const std::uint64_t start = Offset(m_P);
        const std::uint64_t line = m_Line;
        const Mark mark = Here();
        bool whole = true;
        for (;;) {
            SkipBlanks();
            if (!ReadOperand(commas, closer)) {
                whole = false;
                break;
            }
            SkipBlanks();
            if (const std::size_t length = ConcatenationAt()) {
                m_P += length;
                continue;
            }
            break;
        }
        if (!whole) {
            TakeBack(mark);
            const std::uint64_t from = GoBack(start, line) ? start : Offset(m_P);
            bool loose = false;
            const std::uint64_t end = ScanExpression(false, commas, closer, loose);
            EmitPlaceholder(from, end, line, "an expression");
        }
        ArgumentDone(mark);
        SkipBlanks();
        if (commas && Have(1) && *m_P == ',' && !AtBlockEnd()) {
            ++m_P;
            continue;
        }
        return;
    }
}

} // namespace quillomatic
