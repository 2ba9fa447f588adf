// One replacement of an escape routine, and what the engine demands of every rule.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace quillomatic {

// Where `Pattern` stands in a line, its first `Replaced` characters are written
// as `Replacement`; with `IgnoreCase`, letters of the pattern match either case.
// A format's rules are applied in one left-to-right pass, and text a rule
// writes is never scanned again: a list that doubles backslashes and puts a
// backslash before quotes gives what applying each replacement to the whole
// line in turn, backslashes first, gives.
struct EscapeRule {
    std::string_view Pattern;
    std::string_view Replacement;
    std::size_t Replaced = Pattern.size();
    bool IgnoreCase = false;

    // The common kind ("\"" becomes "\\\""): one character written after a
    // prefix of its own, which the translator applies to each byte alone.
    [[nodiscard]] constexpr bool PutsPrefix() const noexcept {
        return Pattern.size() == 1 && Replacement.size() == 2 && Replacement[1] == Pattern[0];
    }
};

// Rules that put a prefix, at most, in one format: the translator compares
// every byte with each of them at once.
inline constexpr std::size_t kMostPrefixRules = 4;

// Used in a static_assert, stops the build at the line that says why when a format's rules break
// what the translator (see StatementTranslator) relies on:
// - patterns and replacements are 7-bit, so every byte from 0x80 up passes
//   unchanged: translating a page's bytes gives what translating its text
//   gives, in any code page and in UTF-8;
// - no pattern holds a line end, since lines are split before they are escaped;
// - a longer pattern holds no character that takes a prefix, so where it is
//   found no prefix is due inside it;
// - a rule replaces at least one character and no more than its pattern holds.
constexpr bool RequireTranslatable(std::span<const std::span<const EscapeRule>> ruleLists) {
    const auto isSevenBit = [](std::string_view text) {
        for (const char c : text) {
            if (static_cast<unsigned char>(c) >= 0x80 || c == '\0') {
                return false;
            }
        }
        return true;
    };
    std::size_t prefixRules = 0;
    std::string_view prefixed;
    char prefixedStore[kMostPrefixRules] = {};
    for (const auto& rules : ruleLists) {
        for (const EscapeRule& rule : rules) {
            if (!isSevenBit(rule.Pattern) || !isSevenBit(rule.Replacement)) {
                throw "an escape rule is not 7-bit";
            }
            if (rule.Pattern.find_first_of("\r\n") != std::string_view::npos) {
                throw "an escape rule's pattern holds a line end";
            }
            if (rule.Replaced == 0 || rule.Replaced > rule.Pattern.size()) {
                throw "an escape rule replaces nothing, or more than its pattern";
            }
            if (rule.PutsPrefix()) {
                if (prefixRules == kMostPrefixRules) {
                    throw "a format has more rules that put a prefix than kMostPrefixRules";
                }
                prefixedStore[prefixRules++] = rule.Pattern[0];
                prefixed = std::string_view(prefixedStore, prefixRules);
            }
        }
    }
    for (const auto& rules : ruleLists) {
        for (const EscapeRule& rule : rules) {
            if (!rule.PutsPrefix() &&
                rule.Pattern.find_first_of(prefixed) != std::string_view::npos) {
                throw "a longer pattern holds a character that takes a prefix";
            }
        }
    }
    return true;
}

} // namespace quillomatic
