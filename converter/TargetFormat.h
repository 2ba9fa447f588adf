// The five script formats, in one table: what frames and escapes the
// statements, and the words and file extension that name each format.
#pragma once

#include "EscapeRule.h"
#include "TextEncoding.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillomatic {

// A converted script is Header, then for every source line Opener, the escaped
// line, Closer and CR LF, then Footer, and for a page that holds a byte of
// 0x80 or above the format's label of its encoding, where it has one; a long
// script of a format that bounds a method's code also has lines that open and
// close methods among its statements. Opener ends with a double quote and
// Closer holds the matching one, so every escaped line stands inside one
// double-quoted string literal. A line is escaped by the format's escape
// routine and then by its guards, in one pass (see EscapeRule).
struct TargetFormat {
    std::string_view Name;
    std::string_view Header;
    std::string_view Opener;
    // EscapeForJavaScript, EscapeForPHP or EscapeForASP.
    std::span<const EscapeRule> EscapeRoutine;
    // What the format alone needs to keep a line inside its literal and its block.
    std::span<const EscapeRule> Guards;
    std::string_view Closer;
    std::string_view Footer;
    // Where a language bounds its string constants: a line whose escaped form
    // is longer than LiteralLimit bytes (0: no bound) is cut into pieces, each
    // printed by PieceOpener, its escaped text and PieceCloser, but the last,
    // which is printed by the usual statement (see LiteralCutter).
    std::size_t LiteralLimit = 0;
    std::string_view PieceOpener = {};
    std::string_view PieceCloser = {};
    // Where a language bounds the code of one method and a server makes one
    // method of the whole script: the first CallsInline statements and
    // pieces (0: no bound) stand in it as in any shorter script; the rest go
    // into methods of up to CallsPerMethod each, which methods of their own
    // call, up to MethodsPerGroup each. Every such method is a block opened
    // by the line MethodOpener and closed by the line MethodCloser, both
    // written with CR LF (see MethodSplitter). Statements are counted where
    // literals are cut, so a format with this bound bounds its literals too.
    std::size_t CallsInline = 0;
    std::size_t CallsPerMethod = 0;
    std::size_t MethodsPerGroup = 0;
    std::string_view MethodOpener = {};
    std::string_view MethodCloser = {};
    // What a page with a byte of 0x80 or above gets right after Footer, for a
    // server that reads a script in an encoding of its own unless the script
    // names another: the label of a script in UTF-8, and that of a script in
    // a single-byte encoding, named as one that gives every byte a character
    // of its own, so the page's bytes come back unchanged. Empty where the
    // format needs none.
    std::string_view Utf8Label = {};
    std::string_view SingleByteLabel = {};

    // The format's word on quillomatic-convert's command line.
    std::string_view CommandName;
    // The extension of its script files, without the dot.
    std::string_view Extension;

    [[nodiscard]] constexpr std::array<std::span<const EscapeRule>, 2> Rules() const noexcept {
        return {EscapeRoutine, Guards};
    }
    // The rules as the translator applies them: the character put before each
    // byte (0 for none), and the longer patterns, in the order they are tried
    // where two start at the same place.
    [[nodiscard]] std::array<char, 256> Prefixes() const;
    [[nodiscard]] std::vector<EscapeRule> Patterns() const;
    // The label of a script saved as `encoding`.
    [[nodiscard]] std::string_view LabelFor(TextEncoding encoding) const noexcept {
        return encoding == TextEncoding::UTF8 ? Utf8Label : SingleByteLabel;
    }

    static const TargetFormat& ASP;
    static const TargetFormat& JavaScript;
    static const TargetFormat& PHP;
    static const TargetFormat& JSP;
    static const TargetFormat& Perl;
};

// The line break a script is written with: after each header line, after each
// statement, inside a footer. The statements' text is the same either way.
enum class LineEnds { CRLF, LF };

// `framing` (a header or a footer, written with CR LF) with `lineEnds`.
[[nodiscard]] std::string Framing(std::string_view framing, LineEnds lineEnds);
// The line break itself.
[[nodiscard]] constexpr std::string_view LineBreak(LineEnds lineEnds) noexcept {
    return lineEnds == LineEnds::CRLF ? std::string_view("\r\n") : std::string_view("\n");
}

// Makes a script that ends with its format's label say that it is saved as
// `savedAs`; a script without one stays as it is. The window shows every
// script as UTF-8 text, but saves that of a page that came in as Windows-1252
// as it came, unless the user prefers UTF-8.
void Relabel(std::string& script, TextEncoding savedAs);

// The five formats, in the order "all" names them on the command line.
extern const std::array<TargetFormat, 5> kTargetFormats;

} // namespace quillomatic
