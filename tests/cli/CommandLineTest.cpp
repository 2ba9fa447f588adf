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

TEST(CommandLine, FormatOutputAndInputInAnyOrderAndEitherSpelling) {
    const CommandLine a = Parse({"--to", "perl", "-o", "out.pl", "page.html"});
    EXPECT_EQ(a.Format(), &TargetFormat::Perl);
    EXPECT_EQ(a.OutputPath(), "out.pl");
    EXPECT_EQ(a.InputPath(), "page.html");

    const CommandLine b = Parse({"page.html", "--output=out.js", "--to=javascript"});
    EXPECT_EQ(b.Format(), &TargetFormat::JavaScript);
    EXPECT_EQ(b.OutputPath(), "out.js");
    EXPECT_EQ(b.InputPath(), "page.html");

    EXPECT_EQ(Parse({"-t", "asp"}).Format(), &TargetFormat::ASP);
    EXPECT_EQ(Parse({"-t", "jsp"}).Format(), &TargetFormat::JSP);
    EXPECT_EQ(Parse({"-t", "php"}).Format(), &TargetFormat::PHP);
}

TEST(CommandLine, DashAndNoInputMeanStandardInput) {
    EXPECT_EQ(Parse({"--to", "php"}).InputPath(), "");
    EXPECT_EQ(Parse({"--to", "php", "-"}).InputPath(), "");
    EXPECT_EQ(Parse({"--to", "php", "--", "-odd-name.html"}).InputPath(), "-odd-name.html");
}

TEST(CommandLine, HelpAndVersionNeedNoFormat) {
    EXPECT_TRUE(Parse({"--help"}).WantsHelp());
    EXPECT_TRUE(Parse({"-h"}).WantsHelp());
    EXPECT_TRUE(Parse({"--version"}).WantsVersion());
}

TEST(CommandLine, WrongArgumentsAreUsageErrorsThatSayWhatIsWrong) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{}, "--to FORMAT is required"},
        {{"page.html"}, "--to FORMAT is required"},
        {{"--to", "python"}, "unknown format \"python\" (use asp, php, javascript, jsp or perl)"},
        {{"--to", "PHP"}, "unknown format \"PHP\" (use asp, php, javascript, jsp or perl)"},
        {{"--to"}, "--to needs a value"},
        {{"--to", "php", "--output"}, "--output needs a value"},
        {{"--to", "php", "--output="}, "--output needs a file name"},
        {{"--to", "php", "--verbose"}, "unknown option --verbose"},
        {{"--to", "php", "a.html", "b.html"}, "more than one input file given"},
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
