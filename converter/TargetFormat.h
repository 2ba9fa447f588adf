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
    // FormatRules::EscapeForJavaScript, EscapeForPHP or EscapeForASP.
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

// The rules the formats escape their lines with, named for the table below.
namespace FormatRules {

// The three escape routines. Backslashes are doubled first, so the backslash
// put before a double quote or a dollar sign is not doubled again.
inline constexpr EscapeRule EscapeForJavaScript[] = {{"\\", "\\\\"}, {"\"", "\\\""}};
inline constexpr EscapeRule EscapeForPHP[] = {{"\\", "\\\\"}, {"\"", "\\\""}, {"$", "\\$"}};
inline constexpr EscapeRule EscapeForASP[] = {{"\"", "\"\""}};

// The guards.
//
// An HTML parser ends the SCRIPT element at "</script", whatever the case and even
// inside a string literal; "<\/" is the same two characters to JavaScript.
inline constexpr EscapeRule ScriptEndTag[] = {{"</script", "<\\/", 2, true}};
// A JSP page compiler ends a scriptlet at "%>", even inside a string literal, and
// reads "%\>" inside scripting elements as "%>".
inline constexpr EscapeRule ScriptletEnd[] = {{"%>", "%\\>"}};
// ASP ends a script block at the first "%>" before VBScript reads a line, even
// inside a string literal: the literal is closed between the two characters
// and joined again.
inline constexpr EscapeRule ScriptBlockEnd[] = {{"%>", "%\" & \">"}};
// Perl interpolates "@name" in a double-quoted string as an array.
inline constexpr EscapeRule ArraySigil[] = {{"@", "\\@"}};

inline constexpr std::span<const EscapeRule> kNoGuards;

} // namespace FormatRules

// The five formats, in the order "all" names them on the command line. The
// table is here, not in the source file, so that its length is known
// wherever a list goes by the formats.
inline constexpr std::array kTargetFormats = std::to_array<TargetFormat>({
    {.Name = "ASP",
     .Header = "<%\r\n' GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n",
     .Opener = "Response.Write \"",
     .EscapeRoutine = FormatRules::EscapeForASP,
     .Guards = FormatRules::ScriptBlockEnd,
     .Closer = "\" & vbCrLf",
     .Footer = "%>",
     .CommandName = "asp",
     .Extension = "asp"},
    {.Name = "JavaScript",
     .Header = "<SCRIPT LANGUAGE=\"JavaScript\">\r\n<!--\r\n"
               "// GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n",
     .Opener = "document.writeln(\"",
     .EscapeRoutine = FormatRules::EscapeForJavaScript,
     .Guards = FormatRules::ScriptEndTag,
     .Closer = "\");",
     .Footer = "//-->\r\n</SCRIPT>",
     .CommandName = "javascript",
     .Extension = "js"},
    {.Name = "PHP",
     .Header = "<?php\r\n// GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n",
     .Opener = "echo \"",
     .EscapeRoutine = FormatRules::EscapeForPHP,
     .Guards = FormatRules::kNoGuards,
     .Closer = "\\n\";",
     .Footer = "?>",
     .CommandName = "php",
     .Extension = "php"},
    {.Name = "JSP",
     .Header = "<%\r\n// GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n",
     .Opener = "out.println(\"",
     .EscapeRoutine = FormatRules::EscapeForJavaScript,
     .Guards = FormatRules::ScriptletEnd,
     .Closer = "\");",
     .Footer = "%>",
     // Java refuses a string constant of more than 65,535 bytes, and keeps a
     // character in at most three bytes for each byte it takes in the page.
     .LiteralLimit = 16384,
     .PieceOpener = "out.print(\"",
     .PieceCloser = "\"); ",
     // Java bounds the code of a method to 65,535 bytes, and a JSP page
     // compiler makes one method of the page, in which a statement takes 8
     // bytes: Tomcat 10 takes 8,150 of them. Up to 8,000 the script is as it
     // always was; beyond that, each method of an anonymous class of its own
     // (a class file and constant pool of its own too, for a page of many
     // distinct lines) takes 4,096 statements in 29 KB, and each method that
     // calls them 1,024 calls of 20 bytes, so the page's own method, with room
     // for 60 such calls, holds a quarter of a billion statements. The blocks
     // name only java.io, so they compile under javax and jakarta servers
     // alike; PrintWriter's print and println write what JspWriter's do.
     .CallsInline = 8000,
     .CallsPerMethod = 4096,
     .MethodsPerGroup = 1024,
     .MethodOpener = "new Object() { void print(java.io.PrintWriter out) {\r\n",
     .MethodCloser = "} }.print(new java.io.PrintWriter(out));\r\n",
     // A JSP page compiler reads a page as ISO-8859-1 unless a page directive
     // says otherwise, wherever the directive stands; after the footer it adds
     // nothing to what the page prints.
     .Utf8Label = "<%@ page pageEncoding=\"UTF-8\" %>",
     .SingleByteLabel = "<%@ page pageEncoding=\"ISO-8859-1\" %>",
     .CommandName = "jsp",
     .Extension = "jsp"},
    {.Name = "Perl",
     .Header = "# GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n",
     .Opener = "print \"",
     .EscapeRoutine = FormatRules::EscapeForPHP,
     .Guards = FormatRules::ArraySigil,
     .Closer = "\\n\";",
     .Footer = "",
     .CommandName = "perl",
     .Extension = "pl"},
});

} // namespace quillomatic
