// What the five readers share: the script a block at a time, the HTML of a
// statement held until the statement is whole, and the arguments of a print.
#pragma once

#include "PageReader.h"
#include "ReadReport.h"
#include "StopBytes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace quillomatic {

class ScriptSink;
class TextStream;

// Whether `text` (its bytes held) starts with `start`, ASCII letters in either case.
inline bool StartsIgnoringCase(const char* text, std::string_view start) {
    for (std::size_t i = 0; i < start.size(); ++i) {
        if ((text[i] | 0x20) != (start[i] | 0x20) ||
            (text[i] != start[i] && !((start[i] | 0x20) >= 'a' && (start[i] | 0x20) <= 'z'))) {
            return false;
        }
    }
    return true;
}

// Whether `a` and `b` are the same word, ASCII letters in either case.
[[nodiscard]] inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsIgnoringCase(a.data(), b);
}

// Whether `word` is one of `words`, ASCII letters in either case.
template <std::size_t N>
[[nodiscard]] bool IsOneOfIgnoringCase(std::string_view word,
                                       const std::array<std::string_view, N>& words) {
    for (const std::string_view candidate : words) {
        if (EqualsIgnoringCase(word, candidate)) {
            return true;
        }
    }
    return false;
}

// A reader goes through its script once, from start to end, and writes what
// the script prints as it goes: the page text around code blocks at once, a
// statement's HTML once the statement is read to its end, so that a statement
// that turns out not to print literals takes its HTML back. Only the bytes
// of the statement being read are held, and of that at most kHoldLimit: a
// longer statement (a minified page in one print) is taken as printing what
// it has printed so far. So a script of any size reads in a few megabytes.
//
// The bytes are the script's own: a UTF-16 script comes in as UTF-8 (see
// PageReader), any other as it is, and every byte a literal holds goes out
// unchanged. The buffer always ends with a NUL past the bytes read, so a scan
// for the bytes that matter stops at the end without a test of its own.
//
// Each language's reader derives from this class and says what its blanks,
// literals, concatenation and statement ends are; the reading of a print's
// arguments into literals and placeholders is the same for all five.
class ScriptLexer {
public:
    virtual ~ScriptLexer();
    ScriptLexer(const ScriptLexer&) = delete;
    ScriptLexer& operator=(const ScriptLexer&) = delete;

    // Reads the whole script; the HTML goes to the sink as it is made.
    void Read();

    // A statement's bytes held at most, in the script and in its HTML.
    static constexpr std::size_t kHoldLimit = std::size_t(1) << 20;

protected:
    // The value of the hexadecimal digit `c`, in either letter case; -1 for
    // any other byte.
    [[nodiscard]] static constexpr int HexDigitValue(char c) noexcept {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        const char lower = static_cast<char>(c | 0x20);
        return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
    }

    // A place in the held HTML and the report, to take back to.
    struct Mark {
        std::size_t Html = 0;
        std::size_t Notes = 0;
    };

    ScriptLexer(TextStream& script, ScriptSink& html, ReadReport& report);

    // The language's reading, from the script's first byte to its last.
    virtual void ReadScript() = 0;

    // The language's hooks for the arguments of a print.
    // Blanks and comments, each line end counted; stops before anything else.
    virtual void SkipBlanks() = 0;
    // A literal at the cursor, what it prints added to the held HTML; false,
    // nothing read, where no literal starts.
    virtual bool ReadLiteral() = 0;
    // Skips anything quoted at the cursor (a literal, a regular expression)
    // without printing it; `afterValue` says a value stands before it, where
    // "/" divides. False where nothing quoted starts.
    virtual bool SkipQuoted(bool afterValue);
    // Bytes of a concatenation operator at the cursor, 0 for none.
    [[nodiscard]] virtual std::size_t ConcatenationAt() = 0;
    // Whether the statement ends at the cursor, outside brackets; `afterValue`
    // says a value stands before the cursor (where a line end may end it).
    [[nodiscard]] virtual bool AtStatementEnd(bool afterValue) = 0;
    // Whether the cursor is where the code block ends even inside brackets.
    [[nodiscard]] virtual bool AtBlockEnd() { return false; }
    // Bytes of punctuation at the cursor that belongs to an operand (a
    // member access, a sigil), 0 for an operator.
    [[nodiscard]] virtual std::size_t OperandPunctuationAt(bool afterValue) = 0;
    // A word that is an operator binding more loosely than concatenation.
    [[nodiscard]] virtual bool IsLooseWord(std::string_view /*word*/) const { return false; }
    // A word that ends a print's arguments (a statement modifier).
    [[nodiscard]] virtual bool EndsArguments(std::string_view /*word*/) const { return false; }
    [[nodiscard]] virtual bool IsWordByte(char c) const;
    // An argument of a print is read whole, its HTML held from `start` on.
    virtual void ArgumentDone(Mark /*start*/) {}
    // The held HTML was taken back to `size` bytes: what a reader noted of
    // the HTML past it describes HTML that is gone.
    virtual void TakenBack(std::size_t /*size*/) {}

    // The input. [m_P, m_End) are the bytes read from the cursor on.
    const char* m_P = nullptr;
    const char* m_End = nullptr;
    std::uint64_t m_Line = 1;

    // At least `count` bytes from the cursor where the script has them.
    [[nodiscard]] bool Have(std::size_t count) {
        return static_cast<std::size_t>(m_End - m_P) >= count || Fill(count);
    }
    [[nodiscard]] bool AtEnd() { return !Have(1); }
    // `at` moved past the spaces and tabs that stand from `at` bytes after
    // the cursor on.
    [[nodiscard]] std::size_t PastSpaces(std::size_t at) {
        while (Have(at + 1) && (m_P[at] == ' ' || m_P[at] == '\t')) {
            ++at;
        }
        return at;
    }
    [[nodiscard]] bool LooksAt(std::string_view text) {
        // The first byte alone settles most tests, without a call.
        return Have(text.size()) && m_P[0] == text[0] &&
               std::memcmp(m_P + 1, text.data() + 1, text.size() - 1) == 0;
    }
    [[nodiscard]] bool LooksAtIgnoringCase(std::string_view text) {
        return Have(text.size()) && StartsIgnoringCase(m_P, text);
    }
    // The byte `back` bytes before the cursor, where it is still held; NUL otherwise.
    [[nodiscard]] char Before(std::size_t back = 1) const noexcept {
        return static_cast<std::size_t>(m_P - m_Buffer.get()) >= back
                   ? m_P[-static_cast<std::ptrdiff_t>(back)]
                   : '\0';
    }
    // Passes a UTF-8 byte-order mark at the cursor: the languages but PHP
    // read it as no part of the script.
    void SkipByteOrderMark();
    // Passes one byte, counting it when it ends a line (a CR LF once).
    void Pass();
    // Passes the bytes up to `end` (in the buffer), counting line ends.
    void PassTo(const char* end);
    [[nodiscard]] std::uint64_t Offset(const char* at) const noexcept {
        return m_BufferOffset + static_cast<std::uint64_t>(at - m_Buffer.get());
    }
    [[nodiscard]] const char* At(std::uint64_t offset) const noexcept {
        return m_Buffer.get() + (offset - m_BufferOffset);
    }
    // The script's bytes between two offsets, as far as they are still held.
    [[nodiscard]] std::string SourceText(std::uint64_t from, std::uint64_t to) const;
    // The word at the cursor, passed; empty where none starts.
    std::string_view ReadWord();
    [[nodiscard]] std::string_view WordAt();

    // A statement starts at the cursor: its bytes are held from here on.
    void StartStatement();
    // No statement is held while page text or blanks are read.
    void HoldNothing() { m_Pin = Offset(m_P); }
    // The page text up to the next `stop`, copied and committed, the cursor
    // left at the `stop`; false at the script's end.
    bool ReadPageTextTo(char stop);
    // Keeps the bytes from the held statement on, however long (for a Perl
    // heredoc, whose body lies ahead of the cursor).
    void HoldWhole(bool whole) { m_HoldWhole = whole; }
    [[nodiscard]] std::uint64_t StatementLine() const noexcept { return m_StatementLine; }
    // Where the statement's HTML and notes started.
    [[nodiscard]] std::size_t StatementHeld() const noexcept { return m_OutCommitted; }
    [[nodiscard]] std::size_t StatementNotes() const noexcept { return m_NotesCommitted; }

    // The output: the held HTML of the statement and what is committed.
    void Emit(const char* from, std::size_t count) {
        if (count == 0) {
            return; // `from` may be null
        }
        if (m_OutSize + count > m_OutCapacity) {
            Grow(count);
        }
        std::memcpy(m_Out.get() + m_OutSize, from, count);
        m_OutSize += count;
    }
    void Emit(std::string_view text) { Emit(text.data(), text.size()); }
    // In a literal: copies the bytes up to the next of `stops` into the held
    // HTML, and on the way every escape that `escapes` maps (the byte after
    // `escape` to the byte it stands for, NUL for none); stops at any other
    // stop byte; a stop byte that starts `blockEnd` (where given) is copied
    // as any other unless the whole of it, in any letter case, follows. Most
    // of a script of ours is such runs and escapes, copied here without a
    // call for each.
    void CopyLiteral(const StopBytes& stops, char escape, const std::array<char, 256>& escapes,
                     std::string_view blockEnd = {}) {
        const auto rest = static_cast<std::size_t>(m_End - m_P);
        if (m_OutSize + rest + 32 > m_OutCapacity) {
            Grow(rest + 32);
        }
        // Nothing written here is longer than what it comes from.
        char* out = m_Out.get() + m_OutSize;
        const char* from = m_P;
        for (;;) {
            const char* const stop = stops.Find(from);
            const auto count = static_cast<std::size_t>(stop - from);
            for (std::size_t copied = 0; copied < count; copied += 16) {
                std::memcpy(out + copied, from + copied, 16);
            }
            out += count;
            from = stop;
            if (!blockEnd.empty() && *from == blockEnd[0] && *from != '\0') {
                if (m_End - from < static_cast<std::ptrdiff_t>(blockEnd.size()) ||
                    StartsIgnoringCase(from, blockEnd)) {
                    break;
                }
                *out++ = *from++;
                continue;
            }
            const char stands = escapes[static_cast<unsigned char>(from[1])];
            if (*from != escape || stands == '\0') {
                break;
            }
            *out++ = stands;
            from += 2;
        }
        m_OutSize = static_cast<std::size_t>(out - m_Out.get());
        m_P = from;
    }
    // The same for a run of a literal in the buffer, most of them short:
    // copied 16 bytes at a time, reading and writing past its end, as the
    // buffer's padding allows.
    void EmitRun(const char* from, const char* to) {
        const auto count = static_cast<std::size_t>(to - from);
        if (m_OutSize + count + 16 > m_OutCapacity) {
            Grow(count + 16);
        }
        char* const out = m_Out.get() + m_OutSize;
        for (std::size_t copied = 0; copied < count; copied += 16) {
            std::memcpy(out + copied, from + copied, 16);
        }
        m_OutSize += count;
    }
    void EmitByte(char byte) {
        if (m_OutSize == m_OutCapacity) {
            Grow(1);
        }
        m_Out[m_OutSize++] = byte;
    }
    void EmitCharacter(char32_t c); // in UTF-8
    [[nodiscard]] Mark Here() const noexcept { return {m_OutSize, m_Report.Size()}; }
    void TakeBack(Mark mark);
    // The HTML held since `mark`, for a reader that recodes it.
    [[nodiscard]] char* HeldSince(Mark mark) noexcept { return m_Out.get() + mark.Html; }
    [[nodiscard]] std::size_t HeldSize() const noexcept { return m_OutSize; }
    void Resize(std::size_t size) { m_OutSize = size; }
    void Note(std::uint64_t line, std::string text);
    // "{{SOURCE}}" in the HTML for the source between two offsets, and a
    // note saying what it stands for.
    void EmitPlaceholder(std::uint64_t from, std::uint64_t to, std::uint64_t line,
                         std::string_view standsFor);
    // Leaves out what lies between two offsets, saying why in the report.
    void LeaveOut(std::uint64_t from, std::uint64_t to, std::uint64_t line, std::string_view why);
    // Leaves out the statement from `start` to its end, saying why, and
    // passes the ";" that ends it.
    void LeaveOutStatement(std::uint64_t start, std::uint64_t line, std::string_view why);
    // At a NUL a scan through a literal stopped at: a NUL of the literal
    // is copied, or else more of the script read; false at its end.
    [[nodiscard]] bool PassNul() {
        if (m_P != m_End) {
            EmitByte(*m_P++);
            return true;
        }
        return Have(1);
    }
    // Passes the ";" at the cursor, where there is one.
    void PassSemicolon() {
        if (Have(1) && *m_P == ';') {
            ++m_P;
        }
    }
    // The statement is whole: its HTML stays.
    void Commit();
    // A script that prints an HTTP header first (a CGI program) has it left
    // out; see TakeHeader.
    void ExpectHeader() { m_HeaderUndecided = true; }
    [[noreturn]] void Fail(std::uint64_t line, const std::string& what) const;

    // The statement of a script of ours, read the short way: `opener` at the
    // cursor, the literal `read` reads, then `closer`, and the statement
    // prints the literal and `after`. False, nothing read, where the
    // statement is another: it is then read the general way.
    template <typename Read>
    bool ReadOwnStatement(std::string_view opener, Read&& read, std::string_view closer,
                          std::string_view after) {
        StartStatement();
        const std::uint64_t start = Offset(m_P);
        const Mark mark = Here();
        m_P += opener.size();
        read();
        if (LooksAt(closer)) {
            m_P += closer.size();
            Emit(after);
            Commit();
            return true;
        }
        TakeBack(mark);
        GoBack(start, StatementLine());
        return false;
    }

    // The arguments of a print, up to the statement's end or to `closer` (the
    // bracket that closes a call), each an operand or several joined by the
    // language's concatenation, separated by commas where `commas`. A literal
    // prints itself, a parenthesised group its arguments, anything else
    // becomes a placeholder; an argument with an operator that binds more
    // loosely than concatenation is one placeholder whole.
    void ReadArguments(bool commas, char closer);
    // Where the expression at the cursor ends: at the first concatenation
    // (where `atConcatenation`), comma (where `commas`), `closer` or
    // statement end outside brackets. Returns the offset after its last
    // token, and in `loose` whether an operator outside brackets binds more
    // loosely than concatenation.
    std::uint64_t ScanExpression(bool atConcatenation, bool commas, char closer, bool& loose);
    // Skips to the statement's end (not past it), over brackets and quotes;
    // returns the offset after the last token.
    std::uint64_t SkipStatement();
    // Passes the bracketed group at the cursor, over quotes inside it.
    void SkipGroup();
    // Leaves out the head of a control-flow statement that starts at
    // `start`, its keyword passed: a name where `named`, the parenthesised
    // group that follows, and up to `stop` (":" for a case) where given;
    // then the brace or colon that opens its block.
    void LeaveOutControl(std::uint64_t start, bool named, char stop = 0);
    // Moves the cursor back to `offset`, where that is still held; false
    // where the statement was taken as it stood meanwhile.
    bool GoBack(std::uint64_t offset, std::uint64_t line);
    // Whether an operand ends at the cursor, after its blanks.
    [[nodiscard]] bool OperandEnds(bool commas, char closer, bool afterValue = true);

private:
    bool Fill(std::size_t count);
    void Grow(std::size_t more);
    void Flush();
    // Drops the header from the committed HTML once it is known to be one;
    // false while it cannot be told yet.
    bool TakeHeader(bool last);
    bool ReadOperand(bool commas, char closer);

    PageReader m_Page;
    std::string m_ScriptPath;
    ScriptSink& m_Html;
    ReadReport& m_Report;

    std::unique_ptr<char[]> m_Buffer;
    std::size_t m_Capacity = 0;
    std::uint64_t m_BufferOffset = 0; // of m_Buffer[0] in the script
    std::uint64_t m_Pin = 0;          // the first byte that must stay held
    bool m_AtEndOfScript = false;
    bool m_HoldWhole = false;
    bool m_StopAtModifiers = true; // ScanExpression ends at a statement modifier
    std::uint64_t m_StatementLine = 1;

    std::unique_ptr<char[]> m_Out;
    std::size_t m_OutCapacity = 0;
    std::size_t m_OutSize = 0;
    std::size_t m_OutCommitted = 0;
    std::size_t m_NotesCommitted = 0;
    bool m_HeaderUndecided = false;
    std::uint64_t m_FirstPrintLine = 0;
};

// The bytes a scan through a literal or text stops at: NUL, which also ends
// the bytes read (see ScriptLexer), and `bytes`.
constexpr std::array<bool, 256> StopTable(std::string_view bytes) {
    std::array<bool, 256> stops{};
    stops[0] = true;
    for (const char c : bytes) {
        stops[static_cast<unsigned char>(c)] = true;
    }
    return stops;
}

// The table of ScriptLexer::CopyLiteral's escapes: each pair of `pairs` is a
// byte after the escape and the byte it stands for.
constexpr std::array<char, 256> EscapeTable(std::string_view pairs) {
    std::array<char, 256> table{};
    for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
        table[static_cast<unsigned char>(pairs[i])] = pairs[i + 1];
    }
    return table;
}

// A space, tab, line end, form feed or vertical tab.
[[nodiscard]] inline bool IsBlankByte(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
// Turns the trimmed source of a placeholder or left-out statement into one
// short line for the report.
[[nodiscard]] std::string BriefText(std::string_view source);
// Without the blanks (see IsBlankByte) around it.
[[nodiscard]] std::string_view Trimmed(std::string_view text);

} // namespace quillomatic
