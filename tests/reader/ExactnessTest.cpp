// What the reader gives back is what php, perl and node print for the same
// script, byte for byte; for ASP, what VBScript prints, worked out once.
#include "FileBytes.h"
#include "FileSystemObject.h"
#include "FirstDifference.h"
#include "ScriptReader.h"
#include "ShellCommand.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

namespace quillomatic {
namespace {

using testing::FirstDifference;
using testing::RunShell;
using testing::ShellQuoted;
using testing::TemporaryFolder;
using testing::WriteBytes;

struct Script {
    const char* name;
    std::string text;
};

// A document whose write and writeln print to standard output, as a page's does.
const std::string kDocument =
    "const document = { write: (...s) => process.stdout.write(s.join('')),"
    " writeln: (...s) => process.stdout.write(s.join('') + '\\n') };\n";

class Exactness : public ::testing::Test {
protected:
    // Each script read back, against what `command` (run on the file, or on
    // `prefix` followed by it) prints; `cut` drops what the reader leaves out
    // on purpose before comparing.
    void Check(const char* extension, const std::vector<Script>& scripts,
               const std::string& command, const std::string& prefix = {},
               std::string (*cut)(std::string) = nullptr) {
        const ScriptLanguage& language = *LanguageOfPath(std::string("x.") + extension);
        for (const Script& script : scripts) {
            const std::string path = folder / (std::string(script.name) + "." + extension);
            WriteBytes(path, script.text);
            WriteBytes(folder / "run", prefix + script.text);
            const auto printed = RunShell("cd " + ShellQuoted(folder.Path()) + " && " + command +
                                          " run 2>/dev/null");
            ASSERT_EQ(printed.exitCode, 0) << script.name;
            const std::string expected = cut ? cut(printed.output) : printed.output;
            TextStream file = FileSystemObject().OpenTextFile(path);
            const ScriptReader::RecoveredPage page = ScriptReader::ReadFile(language, file);
            EXPECT_TRUE(page.Html == expected)
                << script.name << ": " << FirstDifference(expected, page.Html, "read back");
        }
    }

    TemporaryFolder folder;
};

TEST_F(Exactness, PhpAsPhpPrintsIt) {
    Check("php",
          {
              {"page_text", "<p>before</p>\n<?php echo \"a\"; ?>\nafter <?= 'b' ?>\r\nend"
                            "<?PHP print \"c\" ?>\r\rz"},
              {"echo_print", "<?php\necho \"a\", 'b' . \"c\" . 'd';\nprint(\"e\" . \"f\");\n"
                             "print \"g\";\necho(\"h\");\nif (1) { echo \"i\"; }"},
              {"double_quoted", R"(<?php echo "\n|\t|\r|\v|\e|\f|\\|\$|\"|\101|\7|\0|\x41|\x4g|)"
                                R"(\u{263A}|\u{1F389}|\q|\u41|\'|{|$|{ $|\xFF\200";)"},
              {"single_quoted", R"(<?php echo 'it\'s \\ \n \t \x41 $x {$y}', '\\';)"},
              {"heredoc", "<?php\necho <<<EOT\n  a\\tb \\\"q\\\" \\$ {\\$x}\n    indented\n"
                          "  EOT . \"|\";\necho <<<\"Q\"\nquoted\nQ;\necho <<<'N'\n"
                          "    raw \\t $x\n    N;\n"},
              {"comments", "<?php\n// echo \"no\";\n# echo \"no\";\n/* echo \"no\"; */\n"
                           "echo /* x */ \"yes\"; // ?> after\n"},
              {"cr_comments", "<?php // c\recho \"a\"; # d\recho \"b\"; ?>"},
              {"bytes", "<?php echo \"caf\xE9 \x93q\x94 \xE6\x97\xA5\", '\xFF';"},
              {"close_tag", "<?php echo 'a' ?>\r\nb<?php echo 'c' ?>\n\nd<?php echo 'e' ?>\rf"},
          },
          "php -n");
}

// A CGI program prints its header first: the HTML is what follows it.
std::string WithoutHeader(std::string printed) {
    const std::size_t end = printed.find("\n\n");
    return end == std::string::npos ? printed : printed.substr(end + 2);
}

TEST_F(Exactness, PerlAsPerlPrintsIt) {
    Check("pl",
          {
              {"print", "print \"a\", 'b' . \"c\";\nprint STDOUT \"d\";\nprint(\"e\", \"f\");\n"
                        "print \"g\" if 1;\nprint 'h'"},
              {"double_quoted", R"(print "\n|\t|\\|\"|\$|\@|\e|\x41|\x{41}|\101|\0|\cA|\N{U+42}|)"
                                R"(\a|\x{e9}|\w|\Uup\E|\LLOW\E|\uword|\lWORD|\Qa.b\E";)"},
              {"wide", "print \"\\x{263A} \\xe9 caf\xC3\xA9\", \"\\xe9\", \"\\x{100}\";"},
              {"single_quoted", R"(print 'it\'s \\ \n $x @y', '\\';)"},
              {"quote_like", "print qq{a {b} \\} \\$c}, q|d 'e'|, qq(f (g)), q<h>, qq#i#, "
                             "qq !j!;"},
              {"heredocs", "print <<\"A\", <<'B', <<C;\na \\$ \\t\nA\nb \\t\nB\nc\nC\nprint <<~D;\n"
                           "    one\n      two\n    D\nprint \"end\";\n"},
              {"comments", "#!/usr/bin/perl\n# print \"no\";\nuse strict;\n\n=pod\n\n"
                           "print \"no\";\n\n=cut\nprint \"yes\"; # no\n__END__\nprint \"no\";\n"},
              {"cgi", "print \"Content-Type: text/html; charset=UTF-8\\n\\n\";\n"
                      "print \"<p>page</p>\\n\";\n"},
          },
          "perl", {}, WithoutHeader);
}

TEST_F(Exactness, JavaScriptAsNodeWritesIt) {
    Check("js",
          {
              {"calls", "document.write(\"a\", 'b' + \"c\");\ndocument.writeln('d')\n"
                        "document.writeln();\ndocument . write ( 'e' ) ;\n"
                        "if (1) { document.write(\"f\"); }\n"},
              {"escapes", R"(document.write("\n|\t|\r|\b|\f|\v|\0|\'|\"|\\|\/|\x41|\u0041|)"
                          R"(\u{1F389}|\uD83C\uDF89|\uD800|\101|\q|a\)"
                          "\nb\");"},
              {"templates", "document.write(`a \\t 'b' \"c\"\r\nd`, `\\``);"},
              {"template_pair", "document.write(`\\uD83D\\uDE00|\\uD83D|\\uDE00`);"},
              {"comments", "// document.write('no');\n/* document.write('no'); */\n"
                           "<!-- document.write('no');\ndocument.write('yes');\n"
                           "--> document.write('no');\n"},
              {"bytes", "document.write(\"caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x8E\x89\");"},
          },
          "node", kDocument);
}

// Classic ASP has no interpreter here: what VBScript prints, worked out once.
TEST(AspExactness, AspAsVBScriptWritesIt) {
    const struct {
        const char* name;
        std::string script;
        std::string printed;
    } kScripts[] = {
        {"page_text", "<p>a</p>\r\n<%@ Language=\"VBScript\" %>\r\nb<% %>c", "<p>a</p>\r\n\r\nbc"},
        {"write",
         "<%\r\nResponse.Write \"a\"\r\nResponse.Write(\"b\")\r\nresponse.write \"c\""
         " : Response.Write \"d\"\r\n%>",
         "abcd"},
        {"quotes", "<% Response.Write \"say \"\"hi\"\"\" %>", "say \"hi\""},
        {"call", "<% Call Response.Write(\"e\")\r\ncall  response . write (\"f\" & \"g\") %>",
         "efg"},
        {"joined",
         "<% Response.Write \"a\" & \"b\" & vbCrLf & vbNewLine & vbCr & vbLf & vbTab"
         " & Chr(65) & Chr( 34 ) & VBCRLF %>",
         "ab\r\n\r\n\r\n\tA\"\r\n"},
        {"continued", "<%\r\nResponse.Write \"a\" & _\r\n  \"b\"\r\n%>", "ab"},
        {"continued_tab", "<%\r\nResponse.Write \"a\" & _\t\r\n \"b\"\r\n%>", "ab"},
        {"expression", "x<%= \"y\" %>z<%=\"q\"\"\" & vbTab%>", "xyzq\"\t"},
        {"comments",
         "<%\r\n' Response.Write \"no\"\r\nRem Response.Write \"no\"\r\n"
         "Response.Write \"yes\" ' no\r\n%>",
         "yes"},
        {"block_end", "<% Response.Write \"100%\" & \">\" & vbCrLf %>", "100%>\r\n"},
        {"bytes", "<% Response.Write \"caf\xE9\" %>\xE9", "caf\xE9\xE9"},
    };
    TemporaryFolder folder;
    for (const auto& script : kScripts) {
        const std::string path = folder / (std::string(script.name) + ".asp");
        WriteBytes(path, script.script);
        TextStream file = FileSystemObject().OpenTextFile(path);
        const auto page = ScriptReader::ReadFile(*LanguageOfPath(path), file);
        EXPECT_EQ(page.Html, script.printed) << script.name;
        EXPECT_TRUE(page.Report.IsEmpty()) << script.name << ": " << page.Report.Entries()[0].Text;
    }
}

} // namespace
} // namespace quillomatic
