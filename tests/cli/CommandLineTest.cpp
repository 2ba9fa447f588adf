// The arguments quillomatic-convert accepts and the ones it refuses.
#include "CommandLine.h"

#include "TargetFormat.h"

#include <gtest/gtest.h>
#include <vector>

namespace quillomatic {
namespace {

CommandLine Parse(std::vector<const char*> arguments) {
    return CommandLine::Parse(arguments);
}

using Formats = std::vector<const TargetFormat*>;

TEST(CommandLine, OptionsAndPagesInAnyOrderWithTheGnuSpellings) {
    const CommandLine a = Parse({"--to", "perl", "-o", "out.pl", "page.html"});
    EXPECT_EQ(a.Formats(), Formats{&TargetFormat::Perl});
    EXPECT_EQ(a.OutputPath(), "out.pl");
    EXPECT_EQ(a.InputPaths(), std::vector<std::string>{"page.html"});

    const CommandLine b = Parse({"page.html", "--output=out.js", "--to=javascript"});
    EXPECT_EQ(b.Formats(), Formats{&TargetFormat::JavaScript});
    EXPECT_EQ(b.OutputPath(), "out.js");
    EXPECT_EQ(b.InputPaths(), std::vector<std::string>{"page.html"});

    const CommandLine c = Parse({"-tphp", "-oout.php", "--", "-odd-name.html"});
    EXPECT_EQ(c.Formats(), Formats{&TargetFormat::PHP});
    EXPECT_EQ(c.OutputPath(), "out.php");
    EXPECT_EQ(c.InputPaths(), std::vector<std::string>{"-odd-name.html"});

    // A long option may be shortened while it stays unambiguous.
    const CommandLine d =
        Parse({"--t", "asp", "--output-d", "site", "--line=lf", "--j", "3", "a.html", "b.html"});
    EXPECT_EQ(d.Formats(), Formats{&TargetFormat::ASP});
    EXPECT_EQ(d.OutputFolder(), "site");
    EXPECT_EQ(d.ScriptLineEnds(), LineEnds::LF);
    EXPECT_EQ(d.Jobs(), 3u);
    EXPECT_EQ(d.InputPaths(), (std::vector<std::string>{"a.html", "b.html"}));
}

TEST(CommandLine, FormatWordsInAnyCaseWithTheirExtensionsAsAliases) {
    EXPECT_EQ(Parse({"-t", "ASP"}).Formats(), Formats{&TargetFormat::ASP});
    EXPECT_EQ(Parse({"-t", "JS"}).Formats(), Formats{&TargetFormat::JavaScript});
    EXPECT_EQ(Parse({"-t", "JavaScript"}).Formats(), Formats{&TargetFormat::JavaScript});
    EXPECT_EQ(Parse({"-t", "Php"}).Formats(), Formats{&TargetFormat::PHP});
    EXPECT_EQ(Parse({"-t", "jSP"}).Formats(), Formats{&TargetFormat::JSP});
    EXPECT_EQ(Parse({"-t", "pl"}).Formats(), Formats{&TargetFormat::Perl});
    EXPECT_EQ(Parse({"-t", "PERL"}).Formats(), Formats{&TargetFormat::Perl});
}

TEST(CommandLine, ListsNameEachFormatOnceAndAllNamesTheFiveInToolbarOrder) {
    EXPECT_EQ(Parse({"-t", "php,perl", "-d", "out", "a.html"}).Formats(),
              (Formats{&TargetFormat::PHP, &TargetFormat::Perl}));
    EXPECT_EQ(Parse({"-t", "pl,JS,perl", "-d", "out", "a.html"}).Formats(),
              (Formats{&TargetFormat::Perl, &TargetFormat::JavaScript}));
    Formats toolbar;
    for (const TargetFormat& format : kTargetFormats) {
        toolbar.push_back(&format);
    }
    EXPECT_EQ(Parse({"-t", "all", "-d", "out", "a.html"}).Formats(), toolbar);
    EXPECT_EQ(Parse({"-t", "ALL", "-d", "out", "a.html"}).Formats(), toolbar);
}

TEST(CommandLine, DashAndNoInputMeanStandardInput) {
    EXPECT_TRUE(Parse({"--to", "php"}).InputPaths().empty());
    EXPECT_TRUE(Parse({"--to", "php", "-"}).InputPaths().empty());
}

TEST(CommandLine, LineEndsAndJobsHaveTheirDefaults) {
    const CommandLine plain = Parse({"--to", "php"});
    EXPECT_EQ(plain.ScriptLineEnds(), LineEnds::CRLF);
    EXPECT_EQ(plain.Jobs(), 0u);
    EXPECT_EQ(Parse({"--to", "php", "--line-ends", "CRLF"}).ScriptLineEnds(), LineEnds::CRLF);
}

TEST(CommandLine, HelpAndVersionNeedNoFormat) {
    EXPECT_TRUE(Parse({"--help"}).WantsHelp());
    EXPECT_TRUE(Parse({"-h"}).WantsHelp());
    EXPECT_TRUE(Parse({"--version"}).WantsVersion());
}

TEST(CommandLine, WrongArgumentsAreUsageErrorsThatSayWhatIsWrong) {
    const std::string words = "(use asp, javascript or js, php, jsp, perl or pl, or all)";
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{}, "--to FORMATS is required"},
        {{"page.html"}, "--to FORMATS is required"},
        {{"--to", "python"}, "unknown format \"python\" " + words},
        {{"--to", "php,"}, "unknown format \"\" " + words},
        {{"--to"}, "--to needs a value"},
        {{"--to", "php", "-o"}, "--output needs a value"},
        {{"--to", "php", "--output="}, "--output needs a file name"},
        {{"--to", "php", "--output-dir="}, "--output-dir needs a folder name"},
        {{"--to", "php", "--line-ends", "cr"}, "unknown line ends \"cr\" (use crlf or lf)"},
        {{"--to", "php", "--jobs", "0"}, "--jobs needs a whole number from 1 up, not \"0\""},
        {{"--to", "php", "-j", "2x"}, "--jobs needs a whole number from 1 up, not \"2x\""},
        {{"--to", "php", "--verbose"}, "unknown option --verbose"},
        {{"--to", "php", "-x"}, "unknown option -x"},
        {{"--to", "php", "--out", "x"}, "ambiguous option --out (--output or --output-dir?)"},
        {{"--to", "php", "--help=yes"}, "--help takes no value"},
        {{"--to", "php", "a.html", "b.html"}, "several pages need --output-dir"},
        {{"--to", "php,perl", "a.html"}, "several formats need --output-dir"},
        {{"--to", "all"}, "several formats need --output-dir"},
        {{"--to", "php", "."}, "\".\" is a folder: its pages need --output-dir"},
        {{"--to", "php", "-d", "out"},
         "no page was given: --output-dir converts the pages and folders named"},
        {{"--to", "php", "-d", "out", "a.html", "-"},
         "--output-dir needs the pages named: it cannot take standard input"},
        {{"--to", "php", "-d", "out", "-o", "x.php", "a.html"},
         "--output and --output-dir cannot be used together"},
        {{"--to", "php", "--watch", "a.html"}, "--watch needs --output-dir"},
        {{"--to", "php", "-d", "out", "--debounce", "0", "a.html"}, "--debounce goes with --watch"},
        {{"--to", "php", "-d", "out", "--watch", "--poll", "0", "a.html"},
         "--poll needs a whole number of milliseconds from 1 up, not \"0\""},
        {{"--to", "php", "-d", "out", "--watch", "--debounce", "-1", "a.html"},
         "--debounce needs a whole number of milliseconds from 0 up, not \"-1\""},
    };
    for (const auto& [arguments, message] : cases) {
        try {
            Parse(arguments);
            ADD_FAILURE() << "accepted: " << message;
        } catch (const CommandLine::UsageError& error) {
            EXPECT_EQ(error.what(), message);
        }
    }
}

} // namespace
} // namespace quillomatic
