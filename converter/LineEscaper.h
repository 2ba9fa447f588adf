// Escapes one source line for a string literal, by a fixed set of replacements.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

namespace quillomatic {

// Where `Pattern` stands in a line, its first `Replaced` characters are written
// as `Replacement`; with `IgnoreCase`, letters of the pattern match either case.
struct EscapeRule {
    std::string_view Pattern;
    std::string_view Replacement;
    std::size_t Replaced = Pattern.size();
    bool IgnoreCase = false;
};

// Applies a list of replacements to a line in one left-to-right pass. Text a
// rule writes is never scanned again, so a list that doubles backslashes and
// puts a backslash before quotes gives the same result as applying each
// replacement to the whole line in turn, backslashes first.
//
// Rules that put one character before another ("\"" becomes "\\\"") are the
// common case, on nearly every line of a page: they are applied to each byte
// without a branch. Longer patterns ("</script") are looked for by their
// rarest character and handled where they occur. A longer pattern may not
// hold a character of a one-character rule, and every pattern is 7-bit, so
// UTF-8 sequences pass untouched.
class LineEscaper {
public:
    LineEscaper(std::initializer_list<std::span<const EscapeRule>> ruleLists);

    // Writes the escaped `line` to `out`, which has room for MostOutputFor(its
    // length) bytes, and returns the end of what was written.
    char* Write(std::string_view line, char* out) const;
    // The room `Write` needs for a line of `lineLength` bytes: every byte may
    // double, and eight bytes are copied at a time.
    [[nodiscard]] static constexpr std::size_t MostOutputFor(std::size_t lineLength) noexcept {
        return 2 * lineLength + 8;
    }

    // The rules as translators of whole buffers need them: the character put
    // before `byte` (0 for none), and the longer patterns in the order they are
    // tried where two start at the same place.
    [[nodiscard]] char PrefixOf(char byte) const noexcept {
        return m_PrefixOf[static_cast<unsigned char>(byte)];
    }
    [[nodiscard]] std::vector<EscapeRule> Patterns() const;

private:
    struct PatternRule {
        EscapeRule Rule;
        std::size_t AnchorIndex; // the character of the pattern searched for
    };

    // Start of the next match of `rule` at or after `from`, or the line's size.
    [[nodiscard]] static std::size_t FindNext(const PatternRule& rule, std::string_view line,
                                              std::size_t from);
    char* WriteWithPrefixes(const char* begin, const char* end, char* out) const;

    std::array<char, 256> m_PrefixOf{}; // the character put before each byte, or 0
    // The bytes that take a prefix, each repeated in all eight bytes of a word,
    // to look at eight bytes at a time; unused entries repeat the first.
    std::array<std::uint64_t, 4> m_PrefixedWords{};
    std::vector<PatternRule> m_PatternRules;
};

} // namespace quillomatic
