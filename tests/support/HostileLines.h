// Lines that break a naive print statement, for the tests that run the scripts.
#pragma once

#include <string>
#include <vector>

namespace quillomatic::testing {

// A minified page: one line of 70 KB, longer than a Java string constant may
// be, with quotes, backslashes, "%>" and multi-byte characters all along it.
inline std::string MinifiedLine() {
    std::string line;
    while (line.size() < 70'000) {
        line += "<td width=\"50%\">C:\\x \xE6\x97\xA5\xE6\x9C\xAC %><b>\"q\"</b>\xF0\x9F\x8E\x89 ";
    }
    return line;
}

// Lines that break a naive print statement in at least one of the languages.
inline const std::vector<std::string> kHostileLines = {
    R"(<p class="x">plain</p>)",
    R"("quoted" and 'single' and `back`)",
    R"(back\slash \\double \\\triple)",
    R"(trailing backslash \)",
    R"($var ${var} {$x} $x[0] $x->y $$)",
    R"(@array @{[ 1+1 ]} me@example.com %hash)",
    R"(\u0041 \u000a \n \t \x41 \101 \0 \e)",
    R"(\"already escaped\" \$ \@)",
    "\t<td>\ttabs\t",
    "trailing blanks   ",
    "",
    "</script> </SCRIPT x> <\\/script>",
    "<% x %> %> <%= y %> %%>",
    "%>starts, ends%>",
    "\"%>\" %>%> <TABLE WIDTH=100%>",
    "?> <?php echo 1; ?>",
    "#{x} %s %d & vbCrLf \" & \"",
    "<!-- comment --> //--> -->",
    "caf\xC3\xA9 \xE2\x82\xAC \xC3\xBC",
    // Beyond any single-byte code page: CJK, an arrow, typographic quotes, an emoji.
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xE2\x86\x92 \xE2\x80\x9Cq\xE2\x80\x9D \xF0\x9F\x8E\x89",
    MinifiedLine(),
    "",
};

// The lines, each followed by `end`.
inline std::string Joined(const std::vector<std::string>& lines, const std::string& end) {
    std::string text;
    for (const auto& line : lines) {
        text += line + end;
    }
    return text;
}

} // namespace quillomatic::testing
