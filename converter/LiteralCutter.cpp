// Cuts the statements of over-long lines into pieces a language accepts.
#include "LiteralCutter.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace quillomatic {
namespace {

constexpr std::size_t kBlock = std::size_t(1) << 20;

bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

LiteralCutter::LiteralCutter(const TargetFormat& format, LineEnds lineEnds, ScriptSink& next)
    : m_Format(format),
      m_StatementEnd(std::string(format.Closer) + std::string(LineBreak(lineEnds))), m_Next(next),
      m_Prefixed(format.Prefixes()), m_Patterns(format.Patterns()),
      m_LookAhead(std::max<std::size_t>(m_StatementEnd.size(), 2)), m_Held(kBlock, '\0') {
    m_StartsUnit[static_cast<unsigned char>(m_StatementEnd[0])] = true;
    for (std::size_t byte = 0; byte < m_Prefixed.size(); ++byte) {
        if (m_Prefixed[byte] != 0) {
            m_StartsUnit[static_cast<unsigned char>(m_Prefixed[byte])] = true;
        }
    }
    for (const EscapeRule& pattern : m_Patterns) {
        m_StartsUnit[static_cast<unsigned char>(pattern.Replacement[0])] = true;
        m_LookAhead = std::max(m_LookAhead, pattern.Replacement.size());
    }
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
            if (!CutPieces(atEnd)) {
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
        m_PieceCost = 0;
        m_Carried.clear();
        m_Recent = {};
    }
    if (atEnd) {
        m_Position = m_Length;
    }
    passOn();
}

LiteralCutter::Unit LiteralCutter::UnitAt(std::size_t at, bool atEnd) const {
    const std::string_view rest = std::string_view(m_Held).substr(at, m_Length - at);
    if (rest.size() < m_LookAhead && !atEnd) {
        return {};
    }
    if (rest.starts_with(m_StatementEnd)) {
        return {.EndsLine = true};
    }
    for (const EscapeRule& pattern : m_Patterns) {
        if (rest.starts_with(pattern.Replacement)) {
            return {pattern.Replacement.size(), pattern.Replacement.size(), &pattern};
        }
    }
    if (rest.size() >= 2 && rest[0] != '\0' &&
        m_Prefixed[static_cast<unsigned char>(rest[1])] == rest[0]) {
        return {2, 2};
    }
    return {1, 1};
}

void LiteralCutter::EmitPiece(std::size_t end, std::string_view tail, std::string_view opener,
                              std::string_view closer) {
    m_Next.Append(opener);
    m_Next.Append(m_Carried);
    char* const out = m_Next.Room(end - m_PieceStart);
    std::memcpy(out, m_Held.data() + m_PieceStart, end - m_PieceStart);
    m_Next.EndAt(out + (end - m_PieceStart));
    m_Next.Append(tail);
    m_Next.Append(closer);
    m_Carried.clear();
}

bool LiteralCutter::CutPieces(bool atEnd) {
    const std::size_t limit = m_Format.LiteralLimit;
    for (;;) {
        // Most of a line is characters written as they are: take them by the run.
        const std::size_t most = std::min(limit - m_PieceCost, m_Length - m_Position);
        std::size_t run = 0;
        while (run < most && !m_StartsUnit[static_cast<unsigned char>(m_Held[m_Position + run])]) {
            ++run;
        }
        if (run > 0) {
            for (std::size_t at = m_Position + run - std::min<std::size_t>(run, 3);
                 at < m_Position + run; ++at) {
                std::move(m_Recent.begin() + 1, m_Recent.end(), m_Recent.begin());
                m_Recent.back() = {at, Unit{1, 1}};
            }
            m_PieceCost += run;
            m_Position += run;
            continue;
        }
        const Unit unit = UnitAt(m_Position, atEnd);
        if (unit.EndsLine) {
            EmitPiece(m_Position, {}, m_Format.Opener, m_StatementEnd);
            m_Position += m_StatementEnd.size();
            m_InLongLine = false;
            return true;
        }
        if (unit.Bytes == 0) {
            return false;
        }
        if (m_PieceCost + unit.Cost <= limit) {
            std::move(m_Recent.begin() + 1, m_Recent.end(), m_Recent.begin());
            m_Recent.back() = {m_Position, unit};
            m_PieceCost += unit.Cost;
            m_Position += unit.Bytes;
            continue;
        }
        // The piece ends here. `end` is where its escaped text ends and
        // `resume` where the next piece's begins; a pattern cut in two leaves
        // its characters, unescaped, as the end of one and the start of the other.
        std::size_t end = m_Position;
        std::size_t resume = m_Position;
        std::string_view tail;
        std::string_view carried;
        if (unit.Pattern != nullptr && m_PieceCost < limit) {
            const std::string_view pattern =
                unit.Pattern->Pattern.substr(0, unit.Pattern->Replaced);
            const std::size_t kept = std::min(pattern.size() - 1, limit - m_PieceCost);
            tail = pattern.substr(0, kept);
            carried = pattern.substr(kept);
            resume += unit.Bytes;
        }
        // Never just before a UTF-8 continuation byte: back over up to three characters.
        for (int back = 0; back < 3 && carried.empty() && IsContinuation(m_Held[resume]); ++back) {
            const Taken last = m_Recent.back();
            if (last.What.Bytes == 0) {
                break;
            }
            std::move_backward(m_Recent.begin(), m_Recent.end() - 1, m_Recent.end());
            m_Recent.front() = {};
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
        m_Carried = carried;
        m_Position = m_PieceStart = resume;
        m_PieceCost = m_Carried.size();
        m_Recent = {};
    }
}

} // namespace quillomatic
