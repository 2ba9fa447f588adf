// quillomatic-convert --to html: placeholders, what is left out and why,
// scripts that cannot be read, --strict, all told on standard error.
#include "CompanionRun.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillomatic {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

using ReadBack = testing::CompanionRun;

TEST_F(ReadBack, WhatIsNotALiteralIsAPlaceholderAndEveryPartLeftOutIsReported) {
    const struct {
        const char* name;
        std::string script;
        std::string html;
        std::string report;
    } kScripts[] = {
        {"var.php", "<?php $x = 1;\necho \"<td>$x</td>\", $y;", "<td>{{$x}}</td>{{$y}}",
         "var.php:1: left out, not a print of literals: $x = 1\n"
         "var.php:2: {{$x}} stands for a variable in a string\n"
         "var.php:2: {{$y}} stands for what is not a literal\n"},
        {"if.php", "<?php if ($a) {\n  echo 'x' . strtoupper($b) . \"\\n\";\n}\n",
         "x{{strtoupper($b)}}\n",
         "if.php:1: left out, control flow: if ($a)\n"
         "if.php:2: {{strtoupper($b)}} stands for what is not a literal\n"},
        {"var.pl", "print \"a\" . $name, \"@list\\n\" if $ok;", "a{{$name}}{{@list}}\n",
         "var.pl:1: {{$name}} stands for what is not a literal\n"
         "var.pl:1: {{@list}} stands for an array in a string\n"
         "var.pl:1: left out, control flow: if $ok\n"},
        {"wide.pl", "print \"\\x{2500}\" x 3 . \"\\x{2510}\\n\";",
         "{{\"\\x{2500}\" x 3}}\xE2\x94\x90\n",
         "wide.pl:1: {{\"\\x{2500}\" x 3}} stands for what is not a literal\n"},
        {"skipped.pl", "my $x = \"a${y}b\" unless $z;\nprint 'p';", "p",
         "skipped.pl:1: left out, not a print of literals: my $x = \"a${y}b\" unless $z\n"},
        {"var.cgi", "print \"Content-type: text/html\\n\\n\";\nprint STDERR \"log\";\nprint 'p';",
         "p",
         "var.cgi:1: left out, the CGI header: Content-type: text/html\n"
         "var.cgi:2: left out, prints elsewhere: print STDERR \"log\"\n"},
        {"var.js", "var user = f();\ndocument.write(user.name, \"<br>\" + (a == b));",
         "{{user.name}}<br>{{a == b}}",
         "var.js:1: left out, not a print of literals: var user = f()\n"
         "var.js:2: {{user.name}} stands for what is not a literal\n"
         "var.js:2: {{a == b}} stands for an expression\n"},
        {"var.jsp", "<p><%= user.getName() %></p>${param.q}",
         "<p>{{user.getName()}}</p>{{param.q}}",
         "var.jsp:1: {{user.getName()}} stands for what is not a literal\n"
         "var.jsp:1: {{param.q}} stands for an EL expression\n"},
        {"var.asp", "<%\r\nIf x Then Response.Write name & \"!\"\r\nEnd If\r\n%>", "{{name}}!",
         "var.asp:2: left out, control flow: If x Then\n"
         "var.asp:2: {{name}} stands for what is not a literal\n"
         "var.asp:3: left out, control flow: End If\n"},
    };
    for (const auto& script : kScripts) {
        WriteBytes(folder / script.name, script.script);
        for (const char* strict : {"", "--strict "}) {
            const auto result = Convert(std::string("--to html ") + strict + script.name);
            EXPECT_EQ(result.exitCode, *strict ? 1 : 0) << script.name << strict;
            EXPECT_EQ(result.output, script.html) << script.name;
            EXPECT_EQ(Errors(), script.report) << script.name;
        }
    }
}

TEST_F(ReadBack, AScriptThatCannotBeReadFailsWithItsLineAndTheBatchGoesOn) {
    WriteBytes(folder / "good.php", "<?php echo 'fine';");
    WriteBytes(folder / "bad.php", "<?php\necho 'fine';\necho \"not closed;\n");
    WriteBytes(folder / "worse.js", "document.write('a\nb');");
    std::filesystem::create_directory(folder / "out");
    const auto result = Convert("--to html -d out bad.php good.php worse.js");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(Errors(),
              "quillomatic-convert: Cannot read \"bad.php\": line 3: a string literal is "
              "not closed.\n"
              "quillomatic-convert: Cannot read \"worse.js\": line 1: a string literal is "
              "not closed.\n");
    EXPECT_EQ(ReadBytes(folder / "out/good.html"), "fine");
    EXPECT_FALSE(std::filesystem::exists(folder / "out/bad.html"));
}

} // namespace
} // namespace quillomatic
