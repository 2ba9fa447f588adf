// Escapes one source line for a string literal, by a fixed set of replacements.
#include "LineEscaper.h"

#include "ScriptText.h"

#include <cassert>
#include <cstring>

namespace quillomatic {
namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool Matches(const EscapeRule& rule, std::string_view rest) {
    if (rest.size() < rule.Pattern.size()) {
        return false;
    }
    if (!rule.IgnoreCase) {
        return rest.starts_with(rule.Pattern);
    }
    for (std::size_t i = 0; i < rule.Pattern.size(); ++i) {
        if (LowerAscii(rest[i]) != LowerAscii(rule.Pattern[i])) {
            return false;
        }
    }
    return true;
}

bool IsLetter(char c) {
    return LowerAscii(c) >= 'a' && LowerAscii(c) <= 'z';
}

// Characters on nearly every line of markup make poor anchors for a search.
bool IsCommonInMarkup(char c) {
    return IsLetter(c) || std::string_view("<>=\" ").find(c) != std::string_view::npos;
}

std::size_t AnchorOf(const EscapeRule& rule) {
    for (std::size_t i = 0; i < rule.Pattern.size(); ++i) {
        if (!IsCommonInMarkup(rule.Pattern[i])) {
            return i;
        }
    }
    return 0;
}

} // namespace

LineEscaper::LineEscaper(std::initializer_list<std::span<const EscapeRule>> ruleLists) {
    for (const auto& list : ruleLists) {
        for (const EscapeRule& rule : list) {
            const bool putsOneCharacterBefore = rule.Pattern.size() == 1 &&
                                                rule.Replacement.size() == 2 &&
                                                rule.Replacement[1] == rule.Pattern[0];
            if (putsOneCharacterBefore) {
                m_PrefixOf[static_cast<unsigned char>(rule.Pattern[0])] = rule.Replacement[0];
            } else {
                assert(rule.Replacement.size() <= 2 * rule.Replaced);
                m_PatternRules.push_back({rule, AnchorOf(rule)});
            }
        }
    }
    for ([[maybe_unused]] const auto& patternRule : m_PatternRules) {
        for ([[maybe_unused]] const char c : patternRule.Rule.Pattern) {
            assert(m_PrefixOf[static_cast<unsigned char>(c)] == 0 && c > 0);
        }
    }
}

std::size_t LineEscaper::FindNext(const PatternRule& rule, std::string_view line,
                                  std::size_t from) {
    const char anchor = rule.Rule.Pattern[rule.AnchorIndex];
    for (std::size_t position = from + rule.AnchorIndex; position < line.size();) {
        const void* found = std::memchr(line.data() + position, anchor, line.size() - position);
        if (found == nullptr) {
            break;
        }
        const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - line.data());
        const std::size_t start = at - rule.AnchorIndex;
        if (Matches(rule.Rule, line.substr(start))) {
            return start;
        }
        position = at + 1;
    }
    return line.size();
}

char* LineEscaper::WriteWithPrefixes(const char* begin, const char* end, char* out) const {
    for (; begin != end; ++begin) {
        const char prefix = m_PrefixOf[static_cast<unsigned char>(*begin)];
        *out = prefix;
        out += prefix != 0;
        *out++ = *begin;
    }
    return out;
}

char* LineEscaper::Write(std::string_view line, char* out) const {
    const char* const data = line.data();
    std::size_t position = 0;
    // Most lines hold no longer pattern at all: one search each, then one pass.
    while (!m_PatternRules.empty()) {
        const PatternRule* nearest = nullptr;
        std::size_t nearestStart = line.size();
        for (const PatternRule& rule : m_PatternRules) {
            const std::size_t start = FindNext(rule, line, position);
            if (start < nearestStart) {
                nearestStart = start;
                nearest = &rule;
            }
        }
        if (nearest == nullptr) {
            break;
        }
        out = WriteWithPrefixes(data + position, data + nearestStart, out);
        out = CopyTo(out, nearest->Rule.Replacement);
        position = nearestStart + nearest->Rule.Replaced;
    }
    return WriteWithPrefixes(data + position, data + line.size(), out);
}

} // namespace quillomatic
