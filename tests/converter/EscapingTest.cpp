// How each format escapes a source line inside its string literal.
#include "Converter.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

namespace quillomatic {
namespace {

using Operation = const std::string& (Converter::*)(const std::string&);

struct EscapeCase {
    const char* name;
    Operation convert;
    std::string line;
    std::string statement; // the whole statement line the source line becomes
};

std::ostream& operator<<(std::ostream& out, const EscapeCase& c) {
    return out << c.name;
}

class Escaping : public ::testing::TestWithParam<EscapeCase> {
protected:
    testing::TemporaryFolder folder;
    testing::CurrentFolder inFolder{folder.Path()};
};

TEST_P(Escaping, LineBecomesExactlyThisStatement) {
    Converter converter;
    const std::string& result = (converter.*GetParam().convert)(GetParam().line);
    EXPECT_NE(result.find("\r\n" + GetParam().statement + "\r\n"), std::string::npos) << "got:\n"
                                                                                      << result;
}

const auto JS = &Converter::ConvertToJavaScript;
const auto JSP = &Converter::ConvertToJSP;
const auto PHP = &Converter::ConvertToPHP;
const auto Perl = &Converter::ConvertToPerl;
const auto ASP = &Converter::ConvertToASP;

// The escape routines, row by row: quotes, backslashes and dollar signs.
INSTANTIATE_TEST_SUITE_P(
    EscapeRoutines, Escaping,
    ::testing::Values(
        EscapeCase{"QuotesJavaScript", JS, R"(say "hi")", R"(document.writeln("say \"hi\"");)"},
        EscapeCase{"QuotesPHP", PHP, R"(say "hi")", R"(echo "say \"hi\"\n";)"},
        EscapeCase{"QuotesASP", ASP, R"(say "hi")", R"(Response.Write "say ""hi""" & vbCrLf)"},
        EscapeCase{"BackslashJavaScript", JS, R"(a\b)", R"(document.writeln("a\\b");)"},
        EscapeCase{"BackslashPHP", PHP, R"(a\b)", R"(echo "a\\b\n";)"},
        EscapeCase{"BackslashASP", ASP, R"(a\b)", R"(Response.Write "a\b" & vbCrLf)"},
        EscapeCase{"BackslashQuoteJavaScript", JS, R"(\")", R"(document.writeln("\\\"");)"},
        EscapeCase{"BackslashQuotePHP", PHP, R"(\")", R"(echo "\\\"\n";)"},
        EscapeCase{"BackslashQuoteASP", ASP, R"(\")", R"(Response.Write "\""" & vbCrLf)"},
        EscapeCase{"DollarJavaScript", JS, "$x", R"(document.writeln("$x");)"},
        EscapeCase{"DollarJSP", JSP, "$x", R"(out.println("$x");)"},
        EscapeCase{"DollarPHP", PHP, "$x", R"(echo "\$x\n";)"},
        EscapeCase{"DollarPerl", Perl, "$x", R"(print "\$x\n";)"},
        EscapeCase{"DollarASP", ASP, "$x", R"(Response.Write "$x" & vbCrLf)"},
        EscapeCase{"BackslashDollarJavaScript", JS, R"(\$)", R"(document.writeln("\\$");)"},
        EscapeCase{"BackslashDollarPHP", PHP, R"(\$)", R"(echo "\\\$\n";)"},
        EscapeCase{"BackslashDollarASP", ASP, R"(\$)", R"(Response.Write "\$" & vbCrLf)"},
        EscapeCase{"LoneQuoteJavaScript", JS, "\"", R"(document.writeln("\"");)"},
        EscapeCase{"LoneQuoteASP", ASP, "\"", R"(Response.Write """" & vbCrLf)"},
        EscapeCase{"BackslashRunJSP", JSP, R"(\\\)", R"(out.println("\\\\\\");)"},
        EscapeCase{"QuoteRunPerl", Perl, R"(""")", R"(print "\"\"\"\n";)"},
        EscapeCase{"SingleQuotesAndTabsUntouched", PHP, "'\t'", "echo \"'\t'\\n\";"},
        EscapeCase{"NonAsciiUntouched", JS, "caf\xC3\xA9", "document.writeln(\"caf\xC3\xA9\");"}),
    [](const auto& row) { return std::string(row.param.name); });

// What each format quotes beyond its escape routine, and what it deliberately leaves.
INSTANTIATE_TEST_SUITE_P(
    LiteralEnds, Escaping,
    ::testing::Values(
        EscapeCase{"PerlAtSign", Perl, "mailto:me@example.com",
                   R"(print "mailto:me\@example.com\n";)"},
        EscapeCase{"PerlAtSignAfterBackslash", Perl, R"(\@a)", R"(print "\\\@a\n";)"},
        EscapeCase{"PHPAtSignUntouched", PHP, "me@example.com", R"(echo "me@example.com\n";)"},
        EscapeCase{"JavaScriptScriptEndTag", JS, "</script>", R"(document.writeln("<\/script>");)"},
        EscapeCase{"JavaScriptScriptEndTagAnyCase", JS, "a</SCRIPT>b</ScRiPt x",
                   R"(document.writeln("a<\/SCRIPT>b<\/ScRiPt x");)"},
        EscapeCase{"JavaScriptOtherEndTagsUntouched", JS, "</p></scrip></b>",
                   R"(document.writeln("</p></scrip></b>");)"},
        EscapeCase{"JavaScriptHtmlCommentUntouched", JS, "<!-- x -->",
                   R"(document.writeln("<!-- x -->");)"},
        EscapeCase{"JSPScriptEndTagUntouched", JSP, "</script>", R"(out.println("</script>");)"},
        EscapeCase{"JSPScriptletEnd", JSP, "<%= x %>", R"(out.println("<%= x %\>");)"},
        EscapeCase{"JSPScriptletEndRun", JSP, "%%>>", R"(out.println("%%\>>");)"},
        EscapeCase{"JavaScriptScriptletEndUntouched", JS, "%>", R"(document.writeln("%>");)"},
        EscapeCase{"ASPScriptBlockEnd", ASP, "<TABLE WIDTH=100%>",
                   R"(Response.Write "<TABLE WIDTH=100%" & ">" & vbCrLf)"},
        EscapeCase{"ASPScriptBlockEndAfterQuote", ASP, R"(a"%>b)",
                   R"(Response.Write "a""%" & ">b" & vbCrLf)"},
        EscapeCase{"ASPScriptBlockEndRun", ASP, "%%>>%>",
                   R"(Response.Write "%%" & ">>%" & ">" & vbCrLf)"},
        EscapeCase{"PHPBlockEndUntouched", PHP, "?>", R"(echo "?>\n";)"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace quillomatic
