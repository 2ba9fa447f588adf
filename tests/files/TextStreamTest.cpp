// TextStream: whole reads, writes and their failures on real files and pipes.
#include "TextStream.h"

#include "ComponentError.h"
#include "FileBytes.h"
#include "FileSystemObject.h"
#include "TemporaryFolder.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillomatic {
namespace {

using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::WriteBytes;

class TextStreamTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
    FileSystemObject fileSystem;
};

TEST_F(TextStreamTest, ReadAllReadsUtf8WhereEveryByteIsAndWindows1252Otherwise) {
    const auto readAll = [&](const std::string& bytes, TextEncoding expected) {
        WriteBytes(folder / "page.html", bytes);
        TextStream stream = fileSystem.OpenTextFile(folder / "page.html");
        TextEncoding readAs =
            expected == TextEncoding::UTF8 ? TextEncoding::Windows1252 : TextEncoding::UTF8;
        std::string text = stream.ReadAll(&readAs);
        EXPECT_EQ(readAs, expected) << bytes;
        EXPECT_EQ(stream.ReadAll(), "");
        return text;
    };
    // A byte-order mark is a character like any other, and every line end stays.
    const std::string utf8 = "\xEF\xBB\xBF<p>caf\xC3\xA9</p>\r\n\xE6\x97\xA5\n\r\xF0\x9F\x8E\x89";
    EXPECT_EQ(readAll(utf8, TextEncoding::UTF8), utf8);
    // One stray byte makes the whole file Windows-1252, its UTF-8 pairs included.
    EXPECT_EQ(readAll("caf\xC3\xA9 \xE9\r\n", TextEncoding::Windows1252),
              "caf\xC3\x83\xC2\xA9 \xC3\xA9\r\n");
    // A surrogate, an overlong form and a sequence cut short are not UTF-8.
    for (const std::string bytes : {"\xED\xA0\x80", "\xC0\xAF", "\xE6\x97"}) {
        EXPECT_NE(readAll(bytes, TextEncoding::Windows1252), bytes);
    }
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

TEST_F(TextStreamTest, WriteAddsNothingInEitherEncoding) {
    TextStream stream = fileSystem.CreateTextFile(folder / "out.txt", true);
    // Windows-1252 has the e acute and the euro sign, not the Japanese sign.
    stream.Write("caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5", TextEncoding::Windows1252);
    stream.Write("\r\ncaf\xC3\xA9 \xE6\x97\xA5", TextEncoding::UTF8);
    stream.Close();
    EXPECT_EQ(ReadBytes(folder / "out.txt"), "caf\xE9 \x80 ?\r\ncaf\xC3\xA9 \xE6\x97\xA5");
}

TEST_F(TextStreamTest, LargeWriteArrivesWhole) {
    std::string text;
    for (int i = 0; i < 200'000; ++i) {
        text += "line " + std::to_string(i) + " \xC3\xA9\r\n";
    }
    TextStream stream = fileSystem.CreateTextFile(folder / "big.txt", true);
    stream.Write(text, TextEncoding::Windows1252);
    stream.Close();
    std::string expected;
    for (int i = 0; i < 200'000; ++i) {
        expected += "line " + std::to_string(i) + " \xE9\r\n";
    }
    EXPECT_EQ(ReadBytes(folder / "big.txt"), expected);
}

TEST_F(TextStreamTest, WriteBytesWritesCodePageBytesUnchangedAndInOrder) {
    TextStream stream = fileSystem.CreateTextFile(folder / "out.txt", true);
    stream.Write("caf\xC3\xA9 ", TextEncoding::Windows1252);
    stream.WriteBytes("\xE9\x80 ");
    const std::string large(3'000'000, '\x93');
    stream.WriteBytes(large);
    stream.Write("end", TextEncoding::UTF8);
    stream.Close();
    // Written as text, the lone 0xE9 and 0x80 would not be UTF-8 and would become "?".
    EXPECT_EQ(ReadBytes(folder / "out.txt"), "caf\xE9 \xE9\x80 " + large + "end");
}

TEST_F(TextStreamTest, FullDiskIsReportedWhenTheBytesGoOut) {
    TextStream stream = fileSystem.CreateTextFile("/dev/full", true);
    EXPECT_COMPONENT_ERROR(
        {
            stream.Write(std::string(1 << 20, 'x'), TextEncoding::UTF8);
            stream.Close();
        },
        61, "FileSystemObject", "Cannot write \"/dev/full\": the disk is full.");
}

TEST_F(TextStreamTest, StandardInputIsReadAsItArrivesAndClosedOnItsOwn) {
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const int savedInput = ::dup(STDIN_FILENO);
    ::dup2(pipe[0], STDIN_FILENO);
    ::close(pipe[0]);
    std::string read(16, '\0');
    {
        TextStream input = TextStream::StandardInput();
        ASSERT_EQ(::write(pipe[1], "abc", 3), 3);
        EXPECT_EQ(input.ReadBytes(read.data(), read.size()), 3u) << "what has come so far";
        ::close(pipe[1]);
        EXPECT_EQ(input.ReadBytes(read.data(), read.size()), 0u);
    }
    EXPECT_EQ(::fcntl(STDIN_FILENO, F_GETFD), 0) << "the process's own descriptor stays open";
    ::dup2(savedInput, STDIN_FILENO);
    ::close(savedInput);
}

std::size_t OpenDescriptors() {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                      std::filesystem::directory_iterator()));
}

TEST_F(TextStreamTest, StreamIsClosedByItsDestructorAtTheLatest) {
    const std::size_t before = OpenDescriptors();
    {
        TextStream stream = fileSystem.CreateTextFile(folder / "unclosed.txt", true);
        stream.Write("kept", TextEncoding::UTF8);
        TextStream moved = std::move(stream);
        EXPECT_EQ(OpenDescriptors(), before + 1);
    }
    EXPECT_EQ(OpenDescriptors(), before);
    EXPECT_EQ(ReadBytes(folder / "unclosed.txt"), "kept");
}

} // namespace
} // namespace quillomatic
