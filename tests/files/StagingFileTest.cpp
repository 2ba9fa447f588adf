// StagingFile: the text's file is fresh, private, holds the text's bytes, and
// never takes a name that is in use.
#include "StagingFile.h"

#include "ComponentError.h"
#include "FileBytes.h"
#include "FileSystemObject.h"
#include "TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillomatic {
namespace {

using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::WriteBytes;
namespace fs = std::filesystem;

TEST(StagingFile, NamesInUseAsFileOrLinkAreSkippedUntouched) {
    TemporaryFolder folder;
    TemporaryFolder elsewhere;
    // The names a staging with this seed will try, in order.
    FileSystemObject predictor(2026);
    const std::string takenByFile = predictor.GetTempName();
    const std::string takenByLink = predictor.GetTempName();
    const std::string takenByDanglingLink = predictor.GetTempName();
    const std::string free = predictor.GetTempName();

    WriteBytes(folder / takenByFile, "someone's file");
    WriteBytes(elsewhere / "target.txt", "precious");
    fs::create_symlink(elsewhere / "target.txt", folder / takenByLink);
    fs::create_symlink(elsewhere / "planted.txt", folder / takenByDanglingLink);

    FileSystemObject fileSystem(2026);
    StagingFile staging(fileSystem, folder.Path().string(), "<p>user's text \xE6\x97\xA5</p>");
    EXPECT_EQ(staging.Name(), folder / free);
    EXPECT_EQ(staging.Close().ReadAs(), TextEncoding::UTF8);

    EXPECT_EQ(ReadBytes(folder / free), "<p>user's text \xE6\x97\xA5</p>");
    EXPECT_EQ(ReadBytes(folder / takenByFile), "someone's file");
    EXPECT_EQ(ReadBytes(elsewhere / "target.txt"), "precious");
    EXPECT_FALSE(fs::exists(elsewhere / "planted.txt"));
    EXPECT_TRUE(fs::is_symlink(folder / takenByLink));
    struct stat status {};
    ASSERT_EQ(::lstat((folder / free).c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST(StagingFile, FolderThatTakesNoFilesIsReported) {
    FileSystemObject fileSystem;
    EXPECT_THROW(StagingFile(fileSystem, "/proc", "<p>"), ComponentError);
}

} // namespace
} // namespace quillomatic
