// FileSystemObject: names, existence and how files are opened and created.
#include "FileSystemObject.h"

#include "ComponentError.h"
#include "FileBytes.h"
#include "TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

namespace quillomatic {
namespace {

using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::WriteBytes;
namespace fs = std::filesystem;

class FileSystemObjectTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
    FileSystemObject fileSystem;
};

TEST_F(FileSystemObjectTest, TempNamesAreBareRandomAndFresh) {
    // "qm", eight lowercase hexadecimal digits, ".tmp".
    const auto hasTheForm = [](const std::string& name) {
        return name.size() == 14 && name.starts_with("qm") && name.ends_with(".tmp") &&
               name.find_first_not_of("0123456789abcdef", 2) == 10;
    };
    std::set<std::string> names;
    for (int i = 0; i < 1000; ++i) {
        const std::string name = fileSystem.GetTempName();
        ASSERT_TRUE(hasTheForm(name)) << name;
        ASSERT_TRUE(FileSystemObject::IsTempName(name)) << name;
        names.insert(name);
    }
    EXPECT_GE(names.size(), 999u);
    EXPECT_NE(FileSystemObject().GetTempName(), FileSystemObject().GetTempName());
}

TEST_F(FileSystemObjectTest, FileExistsOnlyForFiles) {
    WriteBytes(folder / "page.html", "");
    fs::create_symlink(folder / "page.html", folder / "link.html");
    fs::create_symlink(folder / "gone.html", folder / "dangling.html");
    EXPECT_TRUE(fileSystem.FileExists(folder / "page.html"));
    EXPECT_TRUE(fileSystem.FileExists(folder / "link.html"));
    EXPECT_FALSE(fileSystem.FileExists(folder / "dangling.html"));
    EXPECT_FALSE(fileSystem.FileExists(folder / "missing.html"));
    EXPECT_FALSE(fileSystem.FileExists(folder.Path().string()));
    EXPECT_FALSE(fileSystem.FileExists(""));
}

TEST_F(FileSystemObjectTest, OpeningWhatIsNotAReadableFileNamesTheFileAndTheCause) {
    EXPECT_COMPONENT_ERROR(
        (void)fileSystem.OpenTextFile(folder / "missing.html"), 53, "FileSystemObject",
        "Cannot open \"" + (folder / "missing.html") + "\": the file does not exist.");
    EXPECT_COMPONENT_ERROR(
        (void)fileSystem.OpenTextFile(folder / "no/page.html"), 76, "FileSystemObject",
        "Cannot open \"" + (folder / "no/page.html") + "\": the folder does not exist.");
    EXPECT_COMPONENT_ERROR(
        (void)fileSystem.OpenTextFile(folder.Path().string()), 75, "FileSystemObject",
        "Cannot open \"" + folder.Path().string() + "\": it is a folder, not a file.");
}

TEST_F(FileSystemObjectTest, CreatingWithOverwriteReplacesTheFile) {
    WriteBytes(folder / "script.php", "old contents that are longer");
    TextStream stream = fileSystem.CreateTextFile(folder / "script.php", true);
    stream.Write("new", TextEncoding::UTF8);
    stream.Close();
    EXPECT_EQ(ReadBytes(folder / "script.php"), "new");
}

TEST_F(FileSystemObjectTest, CreatingWithoutOverwriteNeverTouchesWhatIsThere) {
    WriteBytes(folder / "taken.tmp", "someone else's");
    EXPECT_COMPONENT_ERROR(
        (void)fileSystem.CreateTextFile(folder / "taken.tmp", false), 58, "FileSystemObject",
        "Cannot create \"" + (folder / "taken.tmp") + "\": a file of that name already exists.");
    EXPECT_EQ(ReadBytes(folder / "taken.tmp"), "someone else's");

    // A link is not followed, whether its target exists or not.
    WriteBytes(folder / "target.txt", "precious");
    fs::create_symlink(folder / "target.txt", folder / "link.tmp");
    fs::create_symlink(folder / "planted.txt", folder / "dangling.tmp");
    EXPECT_THROW((void)fileSystem.CreateTextFile(folder / "link.tmp", false), ComponentError);
    EXPECT_THROW((void)fileSystem.CreateTextFile(folder / "dangling.tmp", false), ComponentError);
    EXPECT_EQ(ReadBytes(folder / "target.txt"), "precious");
    EXPECT_FALSE(fs::exists(folder / "planted.txt"));
}

TEST_F(FileSystemObjectTest, FreshScratchFileIsReadableByItsOwnerOnly) {
    TextStream stream = fileSystem.CreateTextFile(folder / "scratch.tmp", false);
    struct stat status {};
    ASSERT_EQ(::stat((folder / "scratch.tmp").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(FileSystemObjectTest, CreatingInAMissingFolderFailsAsPathNotFound) {
    EXPECT_COMPONENT_ERROR(
        (void)fileSystem.CreateTextFile(folder / "no/script.php", true), 76, "FileSystemObject",
        "Cannot create \"" + (folder / "no/script.php") + "\": the folder does not exist.");
}

} // namespace
} // namespace quillomatic
