// AtomicTextFile: a save replaces the old file whole or leaves it as it was.
#include "AtomicTextFile.h"

#include "ComponentError.h"
#include "FileBytes.h"
#include "TemporaryFolder.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillomatic {
namespace {

using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::WriteBytes;
namespace fs = std::filesystem;

mode_t PermissionsOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_mode & 07777;
}

// Lowers the largest file size the process may write, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_Previous);
        m_PreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_Previous;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_Previous);
        std::signal(SIGXFSZ, m_PreviousHandler);
    }

private:
    rlimit m_Previous{};
    void (*m_PreviousHandler)(int);
};

class AtomicTextFileTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
};

TEST_F(AtomicTextFileTest, NewFileHoldsExactlyTheTextAndNothingElseIsLeft) {
    AtomicTextFile file(folder / "script.php");
    file.Write("<?php\r\necho \"caf\xC3\xA9\\n\";\r\n?>", TextEncoding::Windows1252);
    EXPECT_FALSE(fs::exists(folder / "script.php")) << "the target appears only on commit";
    file.Commit();
    EXPECT_EQ(ReadBytes(folder / "script.php"), "<?php\r\necho \"caf\xE9\\n\";\r\n?>");
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"script.php"}));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(PermissionsOf(folder / "script.php"), 0666 & ~mask);
}

TEST_F(AtomicTextFileTest, ReplacingKeepsTheOldFilesOwnerAndPermissionsButNoSetId) {
    const std::string script = folder / "script.pl";
    WriteBytes(script, "old and longer");
    // Only root may give the file to someone else, and so keep that owner.
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        ASSERT_EQ(::chown(script.c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(::chmod(script.c_str(), 06750), 0);
    AtomicTextFile file(script);
    file.Write("new", TextEncoding::UTF8);
    file.Commit();
    EXPECT_EQ(ReadBytes(script), "new");
    EXPECT_EQ(PermissionsOf(script), 0750u);
    struct stat status {};
    ASSERT_EQ(::stat(script.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, asRoot ? 65534u : ::geteuid());
}

TEST_F(AtomicTextFileTest, AbandonedWriteLeavesTheOldFileAndNoScratch) {
    WriteBytes(folder / "script.asp", "old");
    {
        AtomicTextFile file(folder / "script.asp");
        file.Write("half of the new", TextEncoding::UTF8);
    }
    EXPECT_EQ(ReadBytes(folder / "script.asp"), "old");
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"script.asp"}));
}

TEST_F(AtomicTextFileTest, FullDiskLeavesTheOldFileIntact) {
    WriteBytes(folder / "script.js", "old contents");
    try {
        FileSizeLimit limit(4096);
        AtomicTextFile file(folder / "script.js");
        file.Write(std::string(1 << 20, 'x'), TextEncoding::UTF8);
        file.Commit();
        ADD_FAILURE() << "the write should have failed";
    } catch (const ComponentError& error) {
        EXPECT_EQ(error.Number(), 61);
        EXPECT_NE(error.Description().find(folder / "script.js"), std::string::npos)
            << error.Description();
    }
    EXPECT_EQ(ReadBytes(folder / "script.js"), "old contents");
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"script.js"}));
}

TEST_F(AtomicTextFileTest, SavingThroughALinkUpdatesItsTargetAndKeepsTheLink) {
    fs::create_directory(folder / "real");
    WriteBytes(folder / "real/script.jsp", "old");
    fs::create_symlink(folder / "real/script.jsp", folder / "link.jsp");
    AtomicTextFile file(folder / "link.jsp");
    file.Write("new", TextEncoding::UTF8);
    file.Commit();
    EXPECT_TRUE(fs::is_symlink(folder / "link.jsp"));
    EXPECT_EQ(ReadBytes(folder / "real/script.jsp"), "new");
}

TEST_F(AtomicTextFileTest, FifoIsWrittenInPlaceNotReplaced) {
    // Read and write at once, a FIFO opens without waiting for a partner, and
    // the little text written stays in its buffer until read here.
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    const int reader = ::open((folder / "fifo").c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    AtomicTextFile file(folder / "fifo");
    file.Write("through the pipe", TextEncoding::UTF8);
    file.Commit();
    std::string received(64, '\0');
    const ssize_t count = ::read(reader, received.data(), received.size());
    ::close(reader);
    received.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(folder / "fifo"));
    EXPECT_EQ(folder.Entries(), (std::set<std::string>{"fifo"}));
}

TEST_F(AtomicTextFileTest, UnwritablePlacesFailBeforeAnythingIsWritten) {
    EXPECT_COMPONENT_ERROR(AtomicTextFile(folder / "missing/script.php"), 76, "FileSystemObject",
                           "Cannot create \"" + (folder / "missing/script.php") +
                               "\": the folder does not exist.");
    EXPECT_COMPONENT_ERROR(AtomicTextFile(folder.Path().string()), 75, "FileSystemObject",
                           "Cannot create \"" + folder.Path().string() +
                               "\": it is a folder, not a file.");
}

} // namespace
} // namespace quillomatic
