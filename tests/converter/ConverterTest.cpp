// Converter: properties, the pipeline, its errors and what each leaves behind.
#include "Converter.h"

#include "ComponentError.h"
#include "FileBytes.h"
#include "FileSystemObject.h"
#include "FormatCases.h"
#include "TargetFormat.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillomatic {
namespace {

using testing::CurrentFolder;
using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::WriteBytes;

using testing::FormatCase;
using testing::kFormatCases;

std::string DataFile(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/" + name;
}

// Every test runs in a folder of its own, since conversions from text stage there.
class ConverterTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
    CurrentFolder inFolder{folder.Path()};
    Converter converter;
};

class EachFormat : public ConverterTest, public ::testing::WithParamInterface<FormatCase> {
protected:
    const std::string& Convert(const std::string& text = {}) {
        return (converter.*GetParam().convert)(text);
    }
    // The statements of a result: what stands between header and footer.
    std::string Statements(const std::string& result) {
        const TargetFormat& format = GetParam().format;
        EXPECT_TRUE(result.starts_with(format.Header)) << result;
        EXPECT_TRUE(result.ends_with(format.Footer)) << result;
        return result.substr(format.Header.size(),
                             result.size() - format.Header.size() - format.Footer.size());
    }
};

INSTANTIATE_TEST_SUITE_P(Converter, EachFormat, ::testing::ValuesIn(kFormatCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_P(EachFormat, WorkedExampleFromFileMatchesGoldenTextCharacterForCharacter) {
    converter.SetSourceHTMLFilePath(DataFile("worked_example.html"));
    const std::string expected =
        ReadBytes(DataFile("worked_example." + std::string(GetParam().format.Extension)));
    const std::string& result = Convert();
    EXPECT_EQ(result, expected);
    EXPECT_EQ(result.size(), GetParam().workedExampleLength);
    EXPECT_EQ(converter.ConvertedSource(), result);
}

TEST_P(EachFormat, WorkedExampleFromTextMatchesTheSameGoldenText) {
    const std::string expected =
        ReadBytes(DataFile("worked_example." + std::string(GetParam().format.Extension)));
    EXPECT_EQ(Convert("<p class=\"x\">\r\n<b>C:\\web</b> $5"), expected);
}

TEST_P(EachFormat, EmptyFileGivesHeaderDirectlyFollowedByFooter) {
    WriteBytes(folder / "empty.html", "");
    converter.SetSourceHTMLFilePath(folder / "empty.html");
    const std::string& result = Convert();
    EXPECT_EQ(result.size(), GetParam().emptyLength);
    EXPECT_EQ(result,
              std::string(GetParam().format.Header) + std::string(GetParam().format.Footer));
    EXPECT_EQ(result.ends_with("\r\n"), GetParam().format.Name == "Perl");
}

TEST_P(EachFormat, EveryKindOfLineEndEndsALineAndAFinalOneAddsNoLine) {
    const std::string twoLines = Statements(Convert("a\r\nb"));
    for (const std::string text : {"a\r\nb\r\n", "a\nb", "a\nb\n", "a\rb", "a\rb\r"}) {
        Converter other;
        EXPECT_EQ(Statements((other.*GetParam().convert)(text)), twoLines) << text;
    }
    EXPECT_EQ(std::count(twoLines.begin(), twoLines.end(), '\n'), 2);
}

TEST_P(EachFormat, TwoLineEndsInARowMakeAnEmptyStatement) {
    const std::string& opener = std::string(GetParam().format.Opener);
    const std::string& closer = std::string(GetParam().format.Closer);
    const std::string empty = opener + closer + "\r\n";
    EXPECT_EQ(Statements(Convert("a\r\n\r\n")), opener + "a" + closer + "\r\n" + empty);
    EXPECT_EQ(Statements(Convert("\r\n")), empty);
    EXPECT_EQ(Statements(Convert("\n\r\n\r")), empty + empty + empty);
    EXPECT_EQ(Statements(Convert("\r\r\n")), empty + empty);
}

TEST_P(EachFormat, LeadingAndTrailingBlanksAndTabsStayInsideTheLiteral) {
    const std::string& opener = std::string(GetParam().format.Opener);
    EXPECT_EQ(Statements(Convert(" \t<td> \t")),
              opener + " \t<td> \t" + std::string(GetParam().format.Closer) + "\r\n");
}

TEST_P(EachFormat, ConvertingTwiceGivesOneResultNotTwo) {
    const std::string first = Convert("<html>");
    EXPECT_EQ(Convert(), first);
    EXPECT_EQ(converter.ConvertedSource(), first);
}

TEST_P(EachFormat, EveryCharacterOfTheTextComesBack) {
    const std::string text = "\xEF\xBB\xBF\xE2\x82\xAC \xC3\xA9 \xE2\x86\x92 \xF0\x9F\x98\x80";
    EXPECT_NE(Statements(Convert(text)).find(text), std::string::npos);
}

TEST_P(EachFormat, FileIsReadAsUtf8OnlyWhenAllOfItIs) {
    // The same e acute, once in UTF-8 alone, once beside a stray Windows-1252 byte.
    WriteBytes(folder / "utf8.html", "caf\xC3\xA9");
    WriteBytes(folder / "mixed.html", "caf\xC3\xA9\r\n\xE9");
    converter.SetSourceHTMLFilePath("utf8.html");
    EXPECT_NE(Convert().find("caf\xC3\xA9"), std::string::npos);
    converter.SetSourceHTMLFilePath("mixed.html");
    const std::string statements = Statements(Convert());
    EXPECT_NE(statements.find("caf\xC3\x83\xC2\xA9"), std::string::npos) << statements;
    EXPECT_NE(statements.find("\xC3\xA9"), std::string::npos) << statements;
}

TEST_F(ConverterTest, JspLabelSaysUtf8OnlyForValidUtf8WhereverItsCharactersStand) {
    // ASCII is skipped many bytes at a time: one character, good or bad, at
    // every place within and across such runs.
    const std::string_view utf8 = TargetFormat::JSP.Utf8Label;
    const std::string_view other = TargetFormat::JSP.SingleByteLabel;
    const std::pair<std::string, std::string_view> characters[] = {
        {"\xC3\xA9", utf8}, {"\xF0\x9F\x8E\x89", utf8}, {"\xE9", other},
        {"\xC3", other},     {"\xE2\x82", other},         {"\xED\xA0\x80", other}};
    for (std::size_t at = 0; at < 72; ++at) {
        for (const auto& [character, label] : characters) {
            WriteBytes(folder / "page.html", std::string(at, 'a') + character + "bbbbbbbbbb");
            converter.SetSourceHTMLFilePath("page.html");
            EXPECT_TRUE(converter.ConvertToJSP().ends_with(label))
                << ::testing::PrintToString(character) << " after " << at;
        }
    }
}

TEST_P(EachFormat, EachConversionFromTextLeavesExactlyOneNewOwnerOnlyFile) {
    WriteBytes(folder / "page.html", "<p>");
    Convert("<b>");
    auto entries = folder.Entries();
    ASSERT_EQ(entries.size(), 2u);
    entries.erase("page.html");
    const std::string staging = *entries.begin();
    EXPECT_EQ(ReadBytes(folder / staging), "<b>");
    struct stat status {};
    ASSERT_EQ(::stat((folder / staging).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    Convert();
    EXPECT_EQ(folder.Entries().size(), 3u);

    converter.SetSourceHTMLText("");
    converter.SetSourceHTMLFilePath("page.html");
    Convert();
    EXPECT_EQ(folder.Entries().size(), 3u) << "a conversion from a path stages nothing";
}

TEST_F(ConverterTest, JspLineLongerThanAJavaConstantIsCutIntoPieces) {
    const std::string header = "<%\r\n// GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n";
    const auto statements = [&](const std::string& line) {
        const std::string& script = converter.ConvertToJSP(line + "\r\nshort");
        EXPECT_NE(script.find("\r\nout.println(\"short\");\r\n%>"), std::string::npos);
        return script.substr(header.size(), script.find("\r\n", header.size()) - header.size());
    };
    const std::string a16383(16383, 'a');
    // Greedily from the left, each piece's escaped form at most 16,384 bytes.
    EXPECT_EQ(statements(std::string(40000, 'x')),
              "out.print(\"" + std::string(16384, 'x') + "\"); out.print(\"" +
                  std::string(16384, 'x') + "\"); out.println(\"" + std::string(7232, 'x') +
                  "\");");
    // A line whose escaped form is just within the limit stays one statement.
    const std::string a16382(16382, 'a');
    EXPECT_EQ(statements(a16382 + "\""), "out.println(\"" + a16382 + "\\\"\");");
    // An escape is never cut; "%>" cut in two is escaped in neither piece.
    EXPECT_EQ(statements(a16383 + "\"b"), "out.print(\"" + a16383 + "\"); out.println(\"\\\"b\");");
    EXPECT_EQ(statements(a16383 + "%>b"), "out.print(\"" + a16383 + "%\"); out.println(\">b\");");
    // A cut never falls inside a UTF-8 character.
    EXPECT_EQ(statements(a16383 + "\xE6\x97\xA5"),
              "out.print(\"" + a16383 + "\"); out.println(\"\xE6\x97\xA5\");");
}

TEST_F(ConverterTest, NewObjectWithNothingToConvertFailsAndTouchesNothing) {
    for (const auto& format : kFormatCases) {
        EXPECT_COMPONENT_ERROR((converter.*format.convert)({}), 1998862, "Vorsk HTML Converter",
                               "Conversion cannot occur when both the SourceHTMLText and "
                               "SourceHTMLFilePath properties are empty.");
    }
    EXPECT_EQ(converter.ConvertedSource(), "");
    EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(ConverterTest, EmptySourcesAfterASuccessKeepThePreviousResult) {
    const std::string first = converter.ConvertToPHP("<p>");
    converter.SetSourceHTMLText("");
    const auto entries = folder.Entries();
    EXPECT_COMPONENT_ERROR(converter.ConvertToASP(), 1998862, "Vorsk HTML Converter",
                           "Conversion cannot occur when both the SourceHTMLText and "
                           "SourceHTMLFilePath properties are empty.");
    EXPECT_EQ(converter.ConvertedSource(), first);
    EXPECT_EQ(folder.Entries(), entries);
}

TEST_F(ConverterTest, ConvertedSourceIsReadOnly) {
    EXPECT_COMPONENT_ERROR(converter.SetConvertedSource("x"), 1998838, "Vorsk HTML Converter",
                           "The ConvertedSource property is read-only.");
    const std::string result = converter.ConvertToJSP("<p>");
    EXPECT_COMPONENT_ERROR(converter.SetConvertedSource(""), 1998838, "Vorsk HTML Converter",
                           "The ConvertedSource property is read-only.");
    EXPECT_EQ(converter.ConvertedSource(), result);
}

TEST_F(ConverterTest, TextGivenOnceIsConvertedByEveryLaterCall) {
    converter.ConvertToPHP("<h1>$title</h1>");
    EXPECT_EQ(converter.SourceHTMLText(), "<h1>$title</h1>");
    const std::string perl = converter.ConvertToPerl();
    EXPECT_EQ(perl, "# GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n"
                    "print \"<h1>\\$title</h1>\\n\";\r\n");
    EXPECT_EQ(converter.SourceHTMLText(), "<h1>$title</h1>");
    converter.SetSourceHTMLText("<p>");
    EXPECT_NE(converter.ConvertToPerl(), perl);
}

TEST_F(ConverterTest, TextWinsOverPathAndThePathIsNeverOpened) {
    converter.SetSourceHTMLFilePath(folder / "missing.html");
    converter.SetSourceHTMLText("<p>");
    EXPECT_NO_THROW(converter.ConvertToASP());
    EXPECT_NE(converter.ConvertedSource().find("Response.Write \"<p>\" & vbCrLf"),
              std::string::npos);
}

TEST_F(ConverterTest, MissingFileReachesTheCallerAndKeepsThePreviousResult) {
    const std::string previous = converter.ConvertToJavaScript("<p>");
    converter.SetSourceHTMLText("");
    converter.SetSourceHTMLFilePath("missing.html");
    EXPECT_COMPONENT_ERROR(converter.ConvertToJavaScript(), 53, "FileSystemObject",
                           "Cannot open \"missing.html\": the file does not exist.");
    EXPECT_EQ(converter.ConvertedSource(), previous);
}

TEST_F(ConverterTest, FailureAfterTheArgumentWasStoredKeepsTheNewText) {
    // Staging fails in a folder the process may not write to; run as a user where
    // permissions apply, a read-only folder shows the same.
    const std::string previous = converter.ConvertToPHP("<p>");
    converter.SetSourceHTMLFilePath("/nonexistent-folder/page.html");
    {
        CurrentFolder inProc("/proc");
        EXPECT_THROW(converter.ConvertToPHP("<b>"), ComponentError);
    }
    EXPECT_EQ(converter.SourceHTMLText(), "<b>");
    EXPECT_EQ(converter.ConvertedSource(), previous);
}

TEST_F(ConverterTest, AFolderGivenAsPathIsReportedAsAFolder) {
    converter.SetSourceHTMLFilePath(folder.Path().string());
    EXPECT_COMPONENT_ERROR(converter.ConvertToPHP(), 75, "FileSystemObject",
                           "Cannot open \"" + folder.Path().string() +
                               "\": it is a folder, not a file.");
}

TEST_F(ConverterTest, PathInAMissingFolderIsReportedAsPathNotFound) {
    converter.SetSourceHTMLFilePath("no-such-folder/page.html");
    EXPECT_COMPONENT_ERROR(converter.ConvertToPHP(), 76, "FileSystemObject",
                           "Cannot open \"no-such-folder/page.html\": the folder does not exist.");
}

TEST_F(ConverterTest, PathGivenFileIsOnlyRead) {
    const std::string page = "<p>\r\nsecond\n";
    WriteBytes(folder / "page.html", page);
    converter.SetSourceHTMLFilePath("page.html");
    converter.ConvertToASP();
    EXPECT_EQ(ReadBytes(folder / "page.html"), page);
}

TEST_F(ConverterTest, EveryByteOfAFileComesBackWhenTheScriptIsSaved) {
    // All 256 byte values but the line ends, as one line of a file in any encoding.
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        if (value != '\r' && value != '\n') {
            bytes.push_back(static_cast<char>(value));
        }
    }
    WriteBytes(folder / "bytes.html", bytes);
    converter.SetSourceHTMLFilePath("bytes.html");
    const std::string& result = converter.ConvertToASP();

    FileSystemObject fileSystem;
    TextStream saved = fileSystem.CreateTextFile(folder / "saved.asp", true);
    saved.Write(result, TextEncoding::Windows1252);
    saved.Close();
    const std::string savedBytes = ReadBytes(folder / "saved.asp");
    std::string quotesDoubled;
    for (const char byte : bytes) {
        quotesDoubled += byte == '"' ? std::string("\"\"") : std::string(1, byte);
    }
    EXPECT_NE(savedBytes.find("Response.Write \"" + quotesDoubled + "\" & vbCrLf\r\n"),
              std::string::npos);
}

} // namespace
} // namespace quillomatic
