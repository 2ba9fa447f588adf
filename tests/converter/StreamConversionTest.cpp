// Every conversion translates the page's bytes a block at a time: for any page,
// cut into blocks anywhere, the script must be what escaping each line step by
// step gives, written as bytes by ConvertToStream, from the page's path or its
// stream, and decoded by ConvertTo.
#include "ComponentError.h"
#include "Converter.h"
#include "FileBytes.h"
#include "FileSystemObject.h"
#include "FirstDifference.h"
#include "FormatCases.h"
#include "RandomPage.h"
#include "ReferenceScript.h"
#include "TargetFormat.h"
#include "TemporaryFolder.h"
#include "TextEncoding.h"
#include "Utf16.h"

#include <algorithm>
#include <bit>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace quillomatic {
namespace {

using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::WriteBytes;

using testing::FirstDifference;
using testing::FormatCase;

class StreamConversion : public ::testing::TestWithParam<FormatCase> {
protected:
    // Converts the page into a file and into text and compares both with the
    // script worked out line by line; `what` names the page.
    void ExpectScript(const std::string& page, const std::string& what) {
        ExpectScriptOfFile(page, page, what);
    }

    // The same for a page `file` whose bytes are read as `page`.
    void ExpectScriptOfFile(const std::string& file, const std::string& page,
                            const std::string& what) {
        WriteBytes(folder / "page.html", file);
        const std::string expected = testing::ReferenceScript(GetParam().format, page);
        Converter converter;
        converter.SetSourceHTMLFilePath(folder / "page.html");
        const std::string fromStream = StreamedFrom(folder / "page.html");
        if (fromStream != expected) {
            ADD_FAILURE() << what << ", from its stream: "
                          << FirstDifference(expected, fromStream, "written");
        }
        const std::string decoded = TextOf(expected, EncodingOf(page));
        const std::string text = (converter.*GetParam().convert)({});
        if (text != decoded) {
            ADD_FAILURE() << what << ", to text: " << FirstDifference(decoded, text, "written");
        }
    }

    // The script of the page read from its stream, as the companion converts.
    std::string StreamedFrom(const std::string& page) {
        TextStream source = fileSystem.OpenTextFile(page);
        TextStream output = fileSystem.CreateTextFile(folder / "script", true);
        Converter::ConvertToStream(GetParam().format, source, output);
        output.Close();
        return ReadBytes(folder / "script");
    }

    TemporaryFolder folder;
    testing::CurrentFolder inFolder{folder.Path()};
    FileSystemObject fileSystem;
};

INSTANTIATE_TEST_SUITE_P(Converter, StreamConversion, ::testing::ValuesIn(testing::kFormatCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_P(StreamConversion, PagesAtTheEdgesGiveTheirScript) {
    const std::string pages[] = {
        "",           "\r",        "\n",        "\r\n",    "\n\r",         "\r\r\n",
        "\r\n\r\n",   "\n\n",      "\r\r",      "a",       "a\r",          "a\n",
        "a\r\n",      "a\rb",      "a\nb\r\nc", "\"",      "\\",           "$@",
        "</script",   "</SCRIPT>", "<</script", "</scrip", "</scrip\nt",   "%>",
        "%",          "%\r>",      "%%>>",      "%\r\n>",  "<\r/script",   "\\\r\n\"",
        "\t  \r\n  ", "x</script", "x%>",       "\"\r",    "</ScRiPt\r\n", "%>\r\n"};
    for (const std::string& page : pages) {
        ExpectScript(page, ::testing::PrintToString(page));
    }
}

TEST_P(StreamConversion, EveryByteValueGivesItsScript) {
    std::string page;
    for (int round = 0; round < 3; ++round) {
        for (int value = 0; value < 256; ++value) {
            page.push_back(static_cast<char>(value));
        }
    }
    ExpectScript(page, "all byte values");
}

TEST_P(StreamConversion, RandomPagesGiveTheirScript) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::size_t> length(0, 3000);
    for (int page = 0; page < 200; ++page) {
        ExpectScript(testing::RandomPage(random, length(random)),
                     "random page " + std::to_string(page));
    }
}

TEST_P(StreamConversion, LineEndsAndPatternsAcrossReadBlocksGiveTheirScript) {
    // The page is read in blocks of a few hundred KiB at most. A unit of tricky
    // bytes repeats over more than two such blocks; shifting it by every offset
    // within its length puts each of its bytes, and each CR LF and pattern, on
    // every block boundary.
    const std::string unit = "<p class=\"a\">C:\\x $5 a@b\r\n</ScRiPt>%>\r\r\n\t\xE9\x80\n\r%%>>"
                             "</script\r\n\"\\\"";
    std::string body;
    while (body.size() < 600'000) {
        body += unit;
    }
    for (std::size_t shift = 0; shift < unit.size(); ++shift) {
        ExpectScript(std::string(shift, 'x') + body, "shift " + std::to_string(shift));
    }
}

TEST_P(StreamConversion, LinesLongerThanAReadBlockGiveTheirScript) {
    std::string line;
    while (line.size() < 1'500'000) {
        line += "<a href=\"x\">C:\\dir $x @y</script>%>\xE9 ";
    }
    ExpectScript(line, "one long line");
    ExpectScript(line + "\r\n" + line + "\r", "two long lines");
}

TEST_P(StreamConversion, LongLinesOfEveryKindOfCharacterGiveTheirScript) {
    // Lines around and far beyond JSP's literal limit, full of escapes,
    // patterns and multi-byte characters, so cuts fall in every kind of place.
    std::mt19937 random(2026);
    std::uniform_int_distribution<std::size_t> length(15'000, 60'000);
    for (int page = 0; page < 40; ++page) {
        std::string line = testing::RandomPage(random, length(random));
        std::replace(line.begin(), line.end(), '\r', 'r');
        std::replace(line.begin(), line.end(), '\n', '\xE6');
        ExpectScript(line + "\r\n" + line.substr(0, line.size() / 2),
                     "long lines " + std::to_string(page));
    }
}

TEST_P(StreamConversion, Utf16PagesAcrossReadBlocksGiveTheScriptOfTheirCharacters) {
    // Every kind of line end and character, pairs of surrogates too, so that
    // over the whole page each falls on every edge of the blocks it is read in.
    const std::string unit = "<p class=\"a\">C:\\x $5 a@b\r\n\xE6\x97\xA5\xE6\x9C\xAC\n%>"
                             "\xF0\x9F\x8E\x89\r</script>\xC3\xA9\x01";
    std::string text;
    while (text.size() < 400'000) {
        text += unit;
    }
    for (std::size_t shift = 0; shift < 3; ++shift) {
        const std::string shifted = std::string(shift, 'x') + text;
        for (const std::endian order : {std::endian::little, std::endian::big}) {
            ExpectScriptOfFile(testing::Utf16Page(shifted, order), "\xEF\xBB\xBF" + shifted,
                               "UTF-16 page, shift " + std::to_string(shift));
        }
    }
    ExpectScriptOfFile("\xFE\xFF", "\xEF\xBB\xBF", "a byte-order mark alone");
}

TEST_P(StreamConversion, InvalidUtf16IsReportedNamingThePage) {
    // A low surrogate alone, a high one followed by no low one or by the end,
    // an odd byte at the end.
    const std::pair<std::string, int> pages[] = {
        {testing::Utf16Bytes(u"\uFEFFab\xDC00"
                             u"c",
                             std::endian::little),
         6},
        {testing::Utf16Bytes(u"\uFEFFa\xD800"
                             u"b",
                             std::endian::big),
         4},
        {testing::Utf16Bytes(u"\uFEFFab\xD800", std::endian::little), 6},
        {testing::Utf16Bytes(u"\uFEFFab", std::endian::big) + "c", 6}};
    for (const auto& [bytes, offset] : pages) {
        WriteBytes(folder / "page.html", bytes);
        const std::string description =
            "Cannot read \"page.html\": it is not valid UTF-16 at byte " + std::to_string(offset) +
            ".";
        Converter converter;
        converter.SetSourceHTMLFilePath("page.html");
        EXPECT_COMPONENT_ERROR(converter.ConvertTo(GetParam().format), 321, "FileSystemObject",
                               description);
        TextStream page = fileSystem.OpenTextFile("page.html");
        TextStream output = fileSystem.CreateTextFile("script", true);
        EXPECT_COMPONENT_ERROR(Converter::ConvertToStream(GetParam().format, page, output), 321,
                               "FileSystemObject", description);
    }
}

TEST_P(StreamConversion, LineFeedsAskedForReplaceEveryLineBreakOfTheScriptItself) {
    const std::string golden = ReadBytes(std::string(TEST_DATA_DIR) + "/worked_example." +
                                         std::string(GetParam().format.Extension));
    TextStream page = fileSystem.OpenTextFile(std::string(TEST_DATA_DIR) + "/worked_example.html");
    TextStream output = fileSystem.CreateTextFile(folder / "script", true);
    Converter::ConvertToStream(GetParam().format, page, output, LineEnds::LF);
    output.Close();
    std::string expected = golden;
    std::erase(expected, '\r');
    EXPECT_EQ(ReadBytes(folder / "script"), expected);
}

TEST_P(StreamConversion, FullDiskIsReportedWhileALargeScriptIsWritten) {
    // A script of several blocks is written while the next block is made; the
    // failure of one of those writes reaches the caller all the same.
    std::string page;
    while (page.size() < 8'000'000) {
        page += "<p>\"quoted\"</p>\r\n";
    }
    WriteBytes(folder / "page.html", page);
    // A node of the device that is always full, made here for the test.
    if (::mknod("full", S_IFCHR | 0666, ::makedev(1, 7)) != 0) {
        GTEST_SKIP() << "cannot make a device node here";
    }
    TextStream source = fileSystem.OpenTextFile("page.html");
    TextStream output = fileSystem.CreateTextFile("full", true);
    EXPECT_COMPONENT_ERROR(Converter::ConvertToStream(GetParam().format, source, output), 61,
                           "FileSystemObject", "Cannot write \"full\": the disk is full.");
}

} // namespace
} // namespace quillomatic
