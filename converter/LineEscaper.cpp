// Escapes one source line for a string literal, by a fixed set of replacements.
#include "LineEscaper.h"

#include "ScriptSink.h"

#include <bit>
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

constexpr std::uint64_t kLowBits = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

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
    std::size_t words = 0;
    for (unsigned byte = 0; byte < 256; ++byte) {
        if (m_PrefixOf[byte] != 0) {
            assert(words < m_PrefixedWords.size());
            m_PrefixedWords[words++] = kLowBits * byte;
        }
    }
    assert(words > 0);
    for (std::size_t i = words; i < m_PrefixedWords.size(); ++i) {
        m_PrefixedWords[i] = m_PrefixedWords[0];
    }
    for ([[maybe_unused]] const auto& patternRule : m_PatternRules) {
        for ([[maybe_unused]] const char c : patternRule.Rule.Pattern) {
            assert(m_PrefixOf[static_cast<unsigned char>(c)] == 0 && c > 0);
        }
    }
}

std::vector<EscapeRule> LineEscaper::Patterns() const {
    std::vector<EscapeRule> patterns;
    for (const PatternRule& patternRule : m_PatternRules) {
        patterns.push_back(patternRule.Rule);
    }
    return patterns;
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
    // Eight bytes at a time: copy them whole, then keep only those before the
    // first byte that takes a prefix, if any. The marker bit of the lowest
    // matching byte is exact, and only that one is used.
    if constexpr (std::endian::native == std::endian::little) {
        while (end - begin >= 8) {
            std::uint64_t word;
            std::memcpy(&word, begin, 8);
            std::uint64_t matches = 0;
            for (const std::uint64_t prefixed : m_PrefixedWords) {
                const std::uint64_t difference = word ^ prefixed;
                matches |= (difference - kLowBits) & ~difference & kHighBits;
            }
            std::memcpy(out, &word, 8);
            if (matches == 0) {
                begin += 8;
                out += 8;
                continue;
            }
            const auto clean = static_cast<std::size_t>(std::countr_zero(matches) / 8);
            begin += clean;
            out += clean;
            *out++ = m_PrefixOf[static_cast<unsigned char>(*begin)];
            *out++ = *begin++;
        }
    }
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
        out = ScriptSink::CopyTo(out, nearest->Rule.Replacement);
        position = nearestStart + nearest->Rule.Replaced;
    }
    return WriteWithPrefixes(data + position, data + line.size(), out);
}

} // namespace quillomatic
