// The generated scripts, run by the real languages, print the page they came from.
#include "Converter.h"
#include "FileBytes.h"
#include "ShellCommand.h"
#include "TemporaryFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace quillomatic {
namespace {

using testing::RunShell;
using testing::ShellQuoted;
using testing::TemporaryFolder;
using testing::WriteBytes;

// A minified page: one line of 70 KB, longer than a Java string constant may
// be, with quotes, backslashes, "%>" and multi-byte characters all along it.
std::string MinifiedLine() {
    std::string line;
    while (line.size() < 70'000) {
        line += "<td width=\"50%\">C:\\x \xE6\x97\xA5\xE6\x9C\xAC %><b>\"q\"</b>\xF0\x9F\x8E\x89 ";
    }
    return line;
}

// Lines that break a naive print statement in at least one of the languages.
const std::vector<std::string> kHostileLines = {
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

std::string Joined(const std::vector<std::string>& lines, const std::string& end) {
    std::string text;
    for (const auto& line : lines) {
        text += line + end;
    }
    return text;
}

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override { page = Joined(kHostileLines, "\r\n"); }

    // What the script printed, or a failure with what the interpreter said.
    std::string Run(const std::string& command) {
        const auto result =
            RunShell("cd " + ShellQuoted(folder.Path().string()) + " && " + command + " 2>&1");
        EXPECT_EQ(result.exitCode, 0) << command << ":\n" << result.output;
        return result.output;
    }

    TemporaryFolder folder;
    testing::CurrentFolder inFolder{folder.Path()};
    Converter converter;
    std::string page;
    const std::string printed = Joined(kHostileLines, "\n");
};

TEST_F(RoundTrip, PhpPrintsThePage) {
    WriteBytes(folder / "page.php", converter.ConvertToPHP(page));
    EXPECT_EQ(Run("php -n page.php"), printed);
}

TEST_F(RoundTrip, PerlPrintsThePage) {
    WriteBytes(folder / "page.pl", converter.ConvertToPerl(page));
    EXPECT_EQ(Run("perl -w page.pl"), printed);
}

TEST_F(RoundTrip, JavaScriptInAPagePrintsThePage) {
    // A browser's HTML parser ends the script at the first "</script", whatever
    // follows; only that much reaches the script engine.
    const std::string& block = converter.ConvertToJavaScript(page);
    const std::string start = "<SCRIPT LANGUAGE=\"JavaScript\">\r\n";
    ASSERT_TRUE(block.starts_with(start));
    std::string lowered = block;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto end = lowered.find("</script");
    ASSERT_EQ(end, block.size() - 9) << "the element ends only at the footer";
    WriteBytes(folder / "page.js",
               "const document = { writeln: (s) => process.stdout.write(s + '\\n') };\n" +
                   block.substr(start.size(), end - start.size()));
    EXPECT_EQ(Run("node page.js"), printed);
}

TEST_F(RoundTrip, JspScriptletCompiledByJavaPrintsThePage) {
    // A JSP page compiler ends the scriptlet at the first "%>" and reads "%\>"
    // inside it as "%>"; the scriptlet body then runs as Java.
    const std::string& scriptlet = converter.ConvertToJSP(page);
    ASSERT_TRUE(scriptlet.starts_with("<%\r\n"));
    const std::string inside = scriptlet.substr(2);
    const auto end = inside.find("%>");
    ASSERT_EQ(end, inside.size() - 2) << "the scriptlet ends only at the footer";
    std::string body = inside.substr(0, end);
    for (auto quoted = body.find("%\\>"); quoted != std::string::npos;
         quoted = body.find("%\\>", quoted)) {
        body.replace(quoted, 3, "%>");
    }
    WriteBytes(
        folder / "Page.java",
        "public class Page {\n"
        "  public static void main(String[] args) throws Exception {\n"
        "    java.io.PrintStream out = new java.io.PrintStream(System.out, true, \"UTF-8\");\n" +
            body + "\n  }\n}\n");
    Run("javac -encoding UTF-8 Page.java");
    EXPECT_EQ(Run("java -cp . Page"), printed);
}

// Classic ASP: the script block is whatever lies between the first "<%" and the
// first "%>", found before VBScript reads a line. Inside it VBScript reads,
// after the comment, "Response.Write" and string literals (a doubled quote
// stands for a quote) joined by " & ", the last joined with vbCrLf.
std::string RunAspStatements(const std::string& script) {
    const std::size_t open = script.find("<%");
    const std::size_t close = script.find("%>", open);
    if (open == std::string::npos || close == std::string::npos) {
        ADD_FAILURE() << "no script block";
        return {};
    }
    const std::string block = script.substr(open + 2, close - open - 2);
    const std::string comment = "\r\n' GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n";
    EXPECT_TRUE(block.starts_with(comment));
    std::string printed;
    std::size_t position = comment.size();
    const auto expect = [&](std::string_view text) {
        const bool found = block.compare(position, text.size(), text) == 0;
        EXPECT_TRUE(found) << "expected " << text << " at " << position << " of the block";
        position += text.size();
        return found;
    };
    while (position < block.size()) {
        if (!expect("Response.Write ")) {
            return printed;
        }
        for (;;) {
            if (!expect("\"")) {
                return printed;
            }
            for (;;) {
                if (position >= block.size() || block[position] == '\r' ||
                    block[position] == '\n') {
                    ADD_FAILURE() << "unterminated string literal";
                    return printed;
                }
                if (block[position] == '"' && block[position + 1] != '"') {
                    ++position;
                    break;
                }
                position += block[position] == '"';
                printed += block[position++];
            }
            if (block.compare(position, 4, " & \"") != 0) {
                break;
            }
            position += 3;
        }
        if (!expect(" & vbCrLf\r\n")) {
            return printed;
        }
        printed += "\r\n";
    }
    return printed;
}

TEST_F(RoundTrip, AspStatementsReadAsVBScriptStringsPrintThePage) {
    EXPECT_EQ(RunAspStatements(converter.ConvertToASP(page)), page);
}

} // namespace
} // namespace quillomatic
