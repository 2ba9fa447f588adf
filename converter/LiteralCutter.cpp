// Cuts the statements of over-long lines into pieces a language accepts.
#include "LiteralCutter.h"

#include "TextEncoding.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace quillomatic {
namespace {

constexpr std::size_t kBlock = std::size_t(1) << 20;

// Characters a cut moves back over at most, not to fall inside a UTF-8 character.
constexpr std::size_t kMostBackedOver = 3;

} // namespace

LiteralCutter::LiteralCutter(const TargetFormat& format, LineEnds lineEnds, ScriptSink& next)
    : m_Format(format),
      m_StatementEnd(std::string(format.Closer) + std::string(LineBreak(lineEnds))), m_Next(next),
      m_Methods(format, lineEnds), m_Prefixed(format.Prefixes()), m_Patterns(format.Patterns()),
      m_LookAhead(m_StatementEnd.size()), m_Held(kBlock, '\0') {
    m_Alone.fill(true);
    for (std::size_t byte = 0; byte < m_Prefixed.size(); ++byte) {
        if (m_Prefixed[byte] != 0) {
            m_Alone[byte] = false;
            m_Alone[static_cast<unsigned char>(m_Prefixed[byte])] = false;
        }
    }
    for (const EscapeRule& pattern : m_Patterns) {
        for (const char c : pattern.Replacement) {
            m_Alone[static_cast<unsigned char>(c)] = false;
        }
        m_LongestUnit = std::max(m_LongestUnit, pattern.Replacement.size());
    }
    m_LookAhead = std::max(m_LookAhead, m_LongestUnit);
}

char* LiteralCutter::Room(std::size_t more) {
    if (m_Length + more > m_Held.size()) {
        // Whatever is passed on or cut is no longer needed.
        const std::size_t keep = m_InLongLine ? m_PieceStart : m_Position;
        std::memmove(m_Held.data(), m_Held.data() + keep, m_Length - keep);
        m_Length -= keep;
        m_Position -= keep;
        m_PieceStart -= std::min(m_PieceStart, keep);
        if (m_Length + more > m_Held.size()) {
            m_Held.resize(std::max(m_Length + more, 2 * m_Held.size()));
        }
    }
    return m_Held.data() + m_Length;
}

void LiteralCutter::EndAt(const char* end) {
    m_Length = static_cast<std::size_t>(end - m_Held.data());
    Process(false);
}

void LiteralCutter::Finish() {
    Process(true);
    assert(!m_InLongLine && m_Position == m_Length);
    m_Methods.Finish(m_Next);
}

void LiteralCutter::Process(bool atEnd) {
    std::size_t passFrom = m_Position;
    const auto passOn = [&] {
        // Whole runs of statements: copied as one block.
        const std::size_t size = m_Position - passFrom;
        char* const out = m_Next.Room(size);
        std::memcpy(out, m_Held.data() + passFrom, size);
        m_Next.EndAt(out + size);
    };
    while (m_Position < m_Length || m_InLongLine) {
        if (m_InLongLine) {
            if (!CutPieces()) {
                return;
            }
            passFrom = m_Position;
            continue;
        }
        // A statement's content never holds a line end: the next LF ends it.
        const std::size_t contentStart = std::min(m_Position + m_Format.Opener.size(), m_Length);
        const void* lineFeed =
            std::memchr(m_Held.data() + contentStart, '\n', m_Length - contentStart);
        if (lineFeed != nullptr) {
            const auto end =
                static_cast<std::size_t>(static_cast<const char*>(lineFeed) - m_Held.data()) + 1;
            if (end - contentStart - m_StatementEnd.size() <= m_Format.LiteralLimit) {
                if (m_Methods.Room() == 0) [[unlikely]] {
                    passOn();
                    m_Methods.Break(m_Next, false);
                    passFrom = m_Position;
                }
                m_Methods.Wrote(1);
                m_Position = end;
                continue;
            }
        } else if (atEnd ||
                   m_Length - contentStart <= m_Format.LiteralLimit + m_StatementEnd.size()) {
            break; // a short statement, or not known yet
        }
        passOn();
        m_InLongLine = true;
        m_Position = m_PieceStart = contentStart;
        m_LineStarted = false;
        m_Carried.clear();
    }
    if (atEnd) {
        m_Position = m_Length;
    }
    passOn();
}

LiteralCutter::Unit LiteralCutter::UnitAt(std::size_t at) const {
    const std::string_view rest(m_Held.data() + at, m_Length - at);
    for (const EscapeRule& pattern : m_Patterns) {
        if (rest.starts_with(pattern.Replacement)) {
            return {pattern.Replacement.size(), &pattern};
        }
    }
    if (rest[0] != '\0' && m_Prefixed[static_cast<unsigned char>(rest[1])] == rest[0]) {
        return {2};
    }
    return {1};
}

void LiteralCutter::EmitPiece(std::size_t end, std::string_view tail, std::string_view opener,
                              std::string_view closer) {
    if (m_Methods.Room() == 0) {
        m_Methods.Break(m_Next, m_LineStarted);
    }
    m_Methods.Wrote(1);
    const std::size_t size = end - m_PieceStart;
    char* out = m_Next.Room(opener.size() + m_Carried.size() + size + tail.size() + closer.size());
    out = CopyTo(out, opener);
    out = CopyTo(out, m_Carried);
    std::memcpy(out, m_Held.data() + m_PieceStart, size);
    out = CopyTo(out + size, tail);
    m_Next.EndAt(CopyTo(out, closer));
    m_Carried.clear();
}

bool LiteralCutter::CutPieces() {
    for (;;) {
        // The escaped text the piece could hold; a statement's end that
        // starts by then ends the line with this piece.
        const std::size_t target = m_PieceStart + m_Format.LiteralLimit - m_Carried.size();
        const std::size_t looked = std::min(m_Length, target + m_StatementEnd.size());
        const void* lineFeed = std::memchr(m_Held.data() + m_Position, '\n', looked - m_Position);
        if (lineFeed != nullptr) {
            const auto end =
                static_cast<std::size_t>(static_cast<const char*>(lineFeed) - m_Held.data()) + 1;
            EmitPiece(end - m_StatementEnd.size(), {}, m_Format.Opener, m_StatementEnd);
            m_Position = end;
            m_InLongLine = false;
            return true;
        }
        m_Position = looked;
        if (m_Length < target + m_LookAhead) {
            return false;
        }
        CutBefore(target);
    }
}

void LiteralCutter::CutBefore(std::size_t target) {
    // The units of the last few bytes before `target`, read from a byte that
    // is a unit of its own (or the piece's start) far enough back to hold the
    // characters a cut may move back over.
    std::size_t at =
        target - std::min(target - m_PieceStart, (kMostBackedOver + 1) * m_LongestUnit);
    while (at > m_PieceStart && !m_Alone[static_cast<unsigned char>(m_Held[at])]) {
        --at;
    }
    struct Taken {
        std::size_t At = 0;
        Unit What;
    };
    std::array<Taken, kMostBackedOver> recent{}; // the last units before `at`, by count
    std::size_t taken = 0;
    Unit unit;
    while (at < target) {
        unit = UnitAt(at);
        if (at + unit.Bytes > target) {
            break;
        }
        recent[taken++ % recent.size()] = {at, unit};
        at += unit.Bytes;
    }
    // The piece ends at `at`. `end` is where its escaped text ends and
    // `resume` where the next piece's begins; a pattern cut in two leaves its
    // characters, unescaped, as the end of one and the start of the other.
    std::size_t end = at;
    std::size_t resume = at;
    std::string_view tail;
    std::string_view carried;
    if (at < target && unit.Pattern != nullptr) {
        const std::string_view pattern = unit.Pattern->Pattern.substr(0, unit.Pattern->Replaced);
        const std::size_t kept = std::min(pattern.size() - 1, target - at);
        tail = pattern.substr(0, kept);
        carried = pattern.substr(kept);
        resume += unit.Bytes;
    }
    // Never just before a UTF-8 continuation byte: back over up to three characters.
    const auto insideCharacter = [&] {
        return IsUtf8Continuation(static_cast<unsigned char>(m_Held[resume]));
    };
    for (std::size_t back = 0;
         back < kMostBackedOver && carried.empty() && taken > 0 && insideCharacter(); ++back) {
        const Taken last = recent[--taken % recent.size()];
        end = last.At;
        if (last.What.Pattern != nullptr) {
            const std::string_view pattern =
                last.What.Pattern->Pattern.substr(0, last.What.Pattern->Replaced);
            tail = pattern.substr(0, pattern.size() - 1);
            carried = pattern.substr(pattern.size() - 1);
            resume = last.At + last.What.Bytes;
        } else {
            resume = last.At;
        }
    }
    EmitPiece(end, tail, m_Format.PieceOpener, m_Format.PieceCloser);
    m_LineStarted = true;
    m_Carried = carried;
    m_Position = m_PieceStart = resume;
}

} // namespace quillomatic
