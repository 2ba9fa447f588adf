// TextStream: lines, whole reads, writes and their failures on real files.
#include "TextStream.h"

#include "ComponentError.h"
#include "FileBytes.h"
#include "FileSystemObject.h"
#include "TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace quillomatic {
namespace {

using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::WriteBytes;

class TextStreamTest : public ::testing::Test {
protected:
    std::vector<std::string> LinesOf(const std::string& bytes) {
        WriteBytes(folder / "lines.txt", bytes);
        TextStream stream = fileSystem.OpenTextFile(folder / "lines.txt");
        std::vector<std::string> lines;
        while (!stream.AtEndOfStream()) {
            lines.push_back(stream.ReadLine());
        }
        return lines;
    }

    TemporaryFolder folder;
    FileSystemObject fileSystem;
};

using Lines = std::vector<std::string>;

TEST_F(TextStreamTest, LinesEndAtCrLfLoneLfAndLoneCr) {
    EXPECT_EQ(LinesOf("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(LinesOf("a\nb\n"), (Lines{"a", "b"}));
    EXPECT_EQ(LinesOf("a\rb\r"), (Lines{"a", "b"}));
    EXPECT_EQ(LinesOf("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(LinesOf("\r\n"), (Lines{""}));
    EXPECT_EQ(LinesOf(""), (Lines{}));
    EXPECT_EQ(LinesOf("no end"), (Lines{"no end"}));
}

TEST_F(TextStreamTest, CrLfSplitAcrossTwoReadsIsStillOneLineEnd) {
    // The reader fetches the file in blocks; put the CR last in a block and the
    // LF first in the next, for every block size from 4 KiB to 1 MiB.
    for (std::size_t block = 4096; block <= (1u << 20); block *= 2) {
        const std::string first(block - 1, 'a');
        EXPECT_EQ(LinesOf(first + "\r\nb"), (Lines{first, "b"})) << block;
        EXPECT_EQ(LinesOf(first + "\r"), (Lines{first})) << block;
    }
}

TEST_F(TextStreamTest, LineLongerThanAnyBufferComesWhole) {
    const std::string longLine(5'000'000, 'x');
    EXPECT_EQ(LinesOf(longLine + "\nend"), (Lines{longLine, "end"}));
}

TEST_F(TextStreamTest, LinesAreDecodedFromTheCodePage) {
    EXPECT_EQ(LinesOf("caf\xE9\r\n\x80"), (Lines{"caf\xC3\xA9", "\xE2\x82\xAC"}));
}

TEST_F(TextStreamTest, ReadAllKeepsEveryLineEndAsItIs) {
    WriteBytes(folder / "page.html", "a\r\nb\nc\r\r\n\xE9");
    TextStream stream = fileSystem.OpenTextFile(folder / "page.html");
    EXPECT_EQ(stream.ReadAll(), "a\r\nb\nc\r\r\n\xC3\xA9");
    EXPECT_TRUE(stream.AtEndOfStream());
}

TEST_F(TextStreamTest, ReadBytesGivesTheRestOfTheFileUndecoded) {
    WriteBytes(folder / "page.html", "first\r\ncaf\xE9 \x80\r\n");
    TextStream stream = fileSystem.OpenTextFile(folder / "page.html");
    EXPECT_EQ(stream.ReadLine(), "first");
    std::string rest(100, '\0');
    rest.resize(stream.ReadBytes(rest.data(), rest.size()));
    EXPECT_EQ(rest, "caf\xE9 \x80\r\n") << "what the line left in the buffer, as it is";
    EXPECT_EQ(stream.ReadBytes(rest.data(), rest.size()), 0u);
    EXPECT_TRUE(stream.AtEndOfStream());
}

TEST_F(TextStreamTest, ReadBytesReadsAFileLargerThanItsBufferWhole) {
    std::string bytes;
    for (int i = 0; i < 3'000'000; ++i) {
        bytes.push_back(static_cast<char>(i * 7 % 256));
    }
    WriteBytes(folder / "large.bin", bytes);
    TextStream stream = fileSystem.OpenTextFile(folder / "large.bin");
    std::string read;
    std::string block(100'000, '\0');
    while (const std::size_t count = stream.ReadBytes(block.data(), block.size())) {
        read.append(block.data(), count);
    }
    EXPECT_EQ(read, bytes);
}

TEST_F(TextStreamTest, ReadingPastTheEndFails) {
    WriteBytes(folder / "one.txt", "one\n");
    TextStream stream = fileSystem.OpenTextFile(folder / "one.txt");
    EXPECT_EQ(stream.ReadLine(), "one");
    EXPECT_COMPONENT_ERROR((void)stream.ReadLine(), 62, "FileSystemObject",
                           "Cannot read \"" + (folder / "one.txt") +
                               "\": there is nothing more to read.");
}

TEST_F(TextStreamTest, WriteAddsNothingAndEncodesToTheCodePage) {
    TextStream stream = fileSystem.CreateTextFile(folder / "out.txt", true);
    stream.Write("caf\xC3\xA9 \xE2\x82\xAC");
    stream.Write("\r\nnext");
    stream.Close();
    EXPECT_EQ(ReadBytes(folder / "out.txt"), "caf\xE9 \x80\r\nnext");
}

TEST_F(TextStreamTest, LargeWriteArrivesWhole) {
    std::string text;
    for (int i = 0; i < 200'000; ++i) {
        text += "line " + std::to_string(i) + " \xC3\xA9\r\n";
    }
    TextStream stream = fileSystem.CreateTextFile(folder / "big.txt", true);
    stream.Write(text);
    stream.Close();
    std::string expected;
    for (int i = 0; i < 200'000; ++i) {
        expected += "line " + std::to_string(i) + " \xE9\r\n";
    }
    EXPECT_EQ(ReadBytes(folder / "big.txt"), expected);
}

TEST_F(TextStreamTest, WriteBytesWritesCodePageBytesUnchangedAndInOrder) {
    TextStream stream = fileSystem.CreateTextFile(folder / "out.txt", true);
    stream.Write("caf\xC3\xA9 ");
    stream.WriteBytes("\xE9\x80 ");
    const std::string large(3'000'000, '\x93');
    stream.WriteBytes(large);
    stream.Write("end");
    stream.Close();
    // Written as text, the lone 0xE9 and 0x80 would not be UTF-8 and would become "?".
    EXPECT_EQ(ReadBytes(folder / "out.txt"), "caf\xE9 \xE9\x80 " + large + "end");
}

TEST_F(TextStreamTest, FullDiskIsReportedWhenTheBytesGoOut) {
    TextStream stream = fileSystem.CreateTextFile("/dev/full", true);
    EXPECT_COMPONENT_ERROR(
        {
            stream.Write(std::string(1 << 20, 'x'));
            stream.Close();
        },
        61, "FileSystemObject", "Cannot write \"/dev/full\": the disk is full.");
}

TEST_F(TextStreamTest, StreamIsUsableOnlyInTheModeItWasOpenedIn) {
    TextStream writer = fileSystem.CreateTextFile(folder / "w.txt", true);
    EXPECT_THROW((void)writer.AtEndOfStream(), ComponentError);
    WriteBytes(folder / "r.txt", "x");
    TextStream reader = fileSystem.OpenTextFile(folder / "r.txt");
    EXPECT_THROW(reader.Write("y"), ComponentError);
    reader.Close();
    EXPECT_THROW((void)reader.ReadLine(), ComponentError);
}

std::size_t OpenDescriptors() {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                      std::filesystem::directory_iterator()));
}

TEST_F(TextStreamTest, StreamIsClosedAndFlushedByItsDestructorAtTheLatest) {
    const std::size_t before = OpenDescriptors();
    {
        TextStream stream = fileSystem.CreateTextFile(folder / "unclosed.txt", true);
        stream.Write("kept");
        TextStream moved = std::move(stream);
        EXPECT_EQ(OpenDescriptors(), before + 1);
    }
    EXPECT_EQ(OpenDescriptors(), before);
    EXPECT_EQ(ReadBytes(folder / "unclosed.txt"), "kept");
}

} // namespace
} // namespace quillomatic
