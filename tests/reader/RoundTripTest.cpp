// Every script our conversion writes reads back into a page that converts
// into the same script again, byte for byte, in every format and line end.
#include "Converter.h"
#include "FileBytes.h"
#include "FileSystemObject.h"
#include "FirstDifference.h"
#include "HostileLines.h"
#include "RandomPage.h"
#include "ScriptReader.h"
#include "TemporaryFolder.h"
#include "Utf16.h"

#include <bit>
#include <gtest/gtest.h>

namespace quillomatic {
namespace {

using testing::FirstDifference;
using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::WriteBytes;

// The conversion, file to file, as the companion makes it.
void Convert(const TargetFormat& format, LineEnds lineEnds, const std::string& page,
             const std::string& script) {
    TextStream source = FileSystemObject().OpenTextFile(page);
    TextStream output = FileSystemObject().CreateTextFile(script, true);
    Converter::ConvertToStream(format, source, output, lineEnds);
    output.Close();
}

TEST(ReadBack, EveryScriptOfOursGivesAPageThatConvertsIntoTheSameScript) {
    std::string everyByte;
    for (int value = 0; value < 256; ++value) {
        everyByte.push_back(static_cast<char>(value));
    }
    // Past JSP's bound, its statements spread over methods; the pieces of a
    // long line straddle the first boundary.
    std::string manyLines;
    for (int line = 0; line < 9000; ++line) {
        manyLines += line == 7998 ? std::string(100000, 'x') + "\r\n"
                                  : "<p>" + std::to_string(line) + "</p>\r\n";
    }
    std::mt19937 random(26);
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"worked", ReadBytes(std::string(TEST_DATA_DIR) + "/worked_example.html")},
        {"hostile", testing::Joined(testing::kHostileLines, "\r\n")},
        {"lf", testing::Joined(testing::kHostileLines, "\n") + "no line end"},
        {"bytes", everyByte + "\r\n" + everyByte + "\n"},
        {"utf16", testing::Utf16Page("caf\xC3\xA9 \xF0\x9F\x8E\x89\r\n\"$x\"", std::endian::big)},
        {"empty", ""},
        {"many lines", manyLines},
        {"random1", testing::RandomPage(random, 5000)},
        {"random2", testing::RandomPage(random, 70000)},
    };
    TemporaryFolder folder;
    for (const auto& [name, bytes] : pages) {
        WriteBytes(folder / "page", bytes);
        for (const ScriptLanguage& language : kScriptLanguages) {
            for (const LineEnds lineEnds : {LineEnds::CRLF, LineEnds::LF}) {
                const std::string label = name + " " + std::string(language.Format->Name) +
                                          (lineEnds == LineEnds::LF ? " LF" : " CRLF");
                Convert(*language.Format, lineEnds, folder / "page", folder / "script");
                TextStream script = FileSystemObject().OpenTextFile(folder / "script");
                TextStream html = FileSystemObject().CreateTextFile(folder / "html", true);
                const ReadReport report = ScriptReader::ReadToStream(language, script, html);
                html.Close();
                EXPECT_TRUE(report.IsEmpty()) << label << ": " << report.Entries()[0].Text;
                Convert(*language.Format, lineEnds, folder / "html", folder / "again");
                const std::string expected = ReadBytes(folder / "script");
                const std::string again = ReadBytes(folder / "again");
                EXPECT_TRUE(again == expected)
                    << label << ": " << FirstDifference(expected, again, "again");
            }
        }
    }
}

} // namespace
} // namespace quillomatic
