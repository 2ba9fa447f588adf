// quillomatic-convert --watch: the real program watching a real site, its log on a pipe.
#include "CompanionRun.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace quillomatic {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

// "converted ..." from "12:04:31 converted ..., 4 ms"; any other line as it is.
std::string WithoutTimes(const std::string& line) {
    const auto digits = [&](std::size_t from, std::size_t to) {
        return to > from && std::all_of(line.begin() + long(from), line.begin() + long(to),
                                        [](char c) { return c >= '0' && c <= '9'; });
    };
    const std::size_t taken = line.rfind(", ");
    if (line.size() < 12 || !digits(0, 2) || line[2] != ':' || !digits(3, 5) || line[5] != ':' ||
        !digits(6, 8) || line[8] != ' ' || !line.ends_with(" ms") || taken == std::string::npos ||
        !digits(taken + 2, line.size() - 3)) {
        return line;
    }
    return line.substr(9, taken - 9);
}

// Runs the watch in the test's folder, standard error on a pipe read here.
class WatchRun : public testing::CompanionRun {
protected:
    void TearDown() override {
        if (m_Watch > 0) {
            ::kill(m_Watch, SIGKILL);
            ::waitpid(m_Watch, nullptr, 0);
        }
        ::close(m_Log);
    }

    // As the unprivileged user where `asNobody`, to whom permissions apply.
    void Start(std::vector<std::string> arguments, bool asNobody = false) {
        arguments.insert(arguments.begin(), {QUILLOMATIC_CONVERT, "--watch"});
        if (asNobody) {
            arguments.insert(arguments.begin(), {"/usr/bin/setpriv", "--reuid=65534",
                                                 "--regid=65534", "--clear-groups"});
        }
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        int log[2];
        ASSERT_EQ(::pipe(log), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, folder.Path().c_str());
        posix_spawn_file_actions_adddup2(&actions, log[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, log[0]);
        ::posix_spawn(&m_Watch, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(log[1]);
        m_Log = log[0];
        ASSERT_GT(m_Watch, 0);
    }

    // The next line of the log; a run's line without its time and duration.
    std::string NextLine(std::chrono::milliseconds wait = 20s) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        for (;;) {
            if (const std::size_t end = m_Unread.find('\n'); end != std::string::npos) {
                std::string line = m_Unread.substr(0, end);
                m_Unread.erase(0, end + 1);
                return WithoutTimes(line);
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{m_Log, POLLIN, 0};
            char block[4096];
            if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
                return "(nothing for " + std::to_string(wait.count()) + " ms)";
            }
            const ssize_t read = ::read(m_Log, block, sizeof block);
            if (read <= 0) {
                return "(the log ended)";
            }
            m_Unread.append(block, static_cast<std::size_t>(read));
            m_Read.append(block, static_cast<std::size_t>(read));
        }
    }
    // Nothing happens: the log stays quiet for longer than the debounce.
    void ExpectQuiet() { EXPECT_EQ(NextLine(600ms), "(nothing for 600 ms)"); }

    bool EndBy(int signal) {
        ::kill(m_Watch, signal);
        int status = 0;
        const pid_t ended = ::waitpid(std::exchange(m_Watch, -1), &status, 0);
        return ended > 0 && WIFSIGNALED(status) && WTERMSIG(status) == signal;
    }

    std::map<std::string, std::string> FilesIn(const std::string& below) {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder / below)) {
            if (!entry.is_directory()) {
                files[entry.path().lexically_relative(folder / below)] = ReadBytes(entry.path());
            }
        }
        return files;
    }

    std::string m_Read; // all of the log so far

private:
    pid_t m_Watch = -1;
    int m_Log = -1;
    std::string m_Unread;
};

// The same cases, told by the kernel and found by polling.
class Watch : public WatchRun, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(Watch, KeepsTheScriptsOfASiteUpToDateThroughEveryKindOfChange) {
    fs::create_directories(folder / "site/blog");
    fs::create_directory(folder / "site/out"); // the output inside the site, not part of it
    WriteBytes(folder / "site/out/kept.html", "<p>not a page of the site</p>");
    WriteBytes(folder / "site/index.html", "<p>home</p>");
    WriteBytes(folder / "site/about.html", "<p>\"about\" $me</p>");
    WriteBytes(folder / "site/blog/post.html", "<p>post</p>");
    // A debounce that a busy machine's pauses between two writes stay below.
    std::vector<std::string> arguments = {"--to", "all", "--debounce", "250", "-d", "site/out"};
    arguments.insert(arguments.end(), GetParam().begin(), GetParam().end());
    arguments.push_back("site");
    Start(arguments);
    const std::string written = ": 5 scripts written, 0 removed, 0 unchanged";
    EXPECT_EQ(NextLine(), "converted 3 pages (about.html, blog/post.html, index.html): 15 scripts "
                          "written, 0 removed, 0 unchanged");
    fs::create_directory(folder / "batch");
    ASSERT_EQ(Convert("--to all -d batch site").exitCode, 0) << Errors();
    auto fromBatch = FilesIn("batch");
    std::erase_if(fromBatch, [](const auto& file) { return file.first.starts_with("out/"); });
    fromBatch["kept.html"] = "<p>not a page of the site</p>";
    EXPECT_EQ(FilesIn("site/out"), fromBatch);
    ExpectQuiet(); // its own scripts start nothing

    WriteBytes(folder / "site/index.html", "<p>home, again</p>");
    EXPECT_EQ(NextLine(), "converted 1 page (index.html)" + written);
    EXPECT_EQ(ReadBytes(folder / "site/out/index.jsp"), Convert("--to jsp site/index.html").output);
    WriteBytes(folder / "site/.index.html.new", "<p>home, saved by rename</p>");
    fs::rename(folder / "site/.index.html.new", folder / "site/index.html");
    EXPECT_EQ(NextLine(), "converted 1 page (index.html)" + written);
    EXPECT_EQ(ReadBytes(folder / "site/out/index.pl"), Convert("--to pl site/index.html").output);

    const auto stamp = fs::last_write_time(folder / "site/out/index.php");
    WriteBytes(folder / "site/index.html", "<p>home, saved by rename</p>");
    EXPECT_EQ(NextLine(),
              "converted 1 page (index.html): 0 scripts written, 0 removed, 5 unchanged");
    EXPECT_EQ(fs::last_write_time(folder / "site/out/index.php"), stamp);

    for (const char* editors : {"index.html~", "#index.html#", "#index.html", ".#index.html",
                                ".index.html.swp", "index.html.swx"}) {
        WriteBytes(folder / ("site/" + std::string(editors)), "<p>draft</p>");
    }
    ExpectQuiet();

    // Fifty pages at once, in a folder made just before: one run.
    fs::create_directory(folder / "site/many");
    for (int i = 10; i < 60; ++i) {
        WriteBytes(folder / ("site/many/p" + std::to_string(i) + ".html"), "<p>many</p>");
    }
    EXPECT_EQ(NextLine(), "converted 50 pages (many/p10.html, many/p11.html, many/p12.html and 47 "
                          "more): 250 scripts written, 0 removed, 0 unchanged");
    ExpectQuiet();
    WriteBytes(folder / "site/many/p33.html", "<p>one of many</p>");
    EXPECT_EQ(NextLine(), "converted 1 page (many/p33.html)" + written);

    // A file of the user's in a script's place stays.
    WriteBytes(folder / "site/out/about.pl", "print 'mine';\n");
    fs::remove(folder / "site/about.html");
    EXPECT_EQ(NextLine(), "quillomatic-convert: Kept \"site/out/about.pl\": its page is gone, but "
                          "it does not open with the header Quillomatic writes.");
    EXPECT_EQ(NextLine(), "converted 0 pages: 0 scripts written, 4 removed, 0 unchanged");
    fs::rename(folder / "site/blog/post.html", folder / "site/blog/article.html");
    EXPECT_EQ(NextLine(), "converted 1 page (blog/article.html): 5 scripts written, 5 removed, 0 "
                          "unchanged");
    auto scripts = FilesIn("site/out");
    std::erase_if(scripts, [](const auto& file) {
        return !file.first.starts_with("about") && !file.first.starts_with("blog");
    });
    EXPECT_EQ(scripts.size(), 6u);
    EXPECT_EQ(scripts["about.pl"], "print 'mine';\n");
    EXPECT_EQ(scripts["blog/article.php"], Convert("--to php site/blog/article.html").output);

    // A clash fails both pages and the watch goes on; once it is gone, the
    // page left converts again.
    WriteBytes(folder / "site/index.htm", "<p>another home</p>");
    EXPECT_EQ(NextLine(), "quillomatic-convert: \"site/index.htm\" and \"site/index.html\" would "
                          "both be written as site/out/index.asp");
    EXPECT_EQ(NextLine(), "converted 0 pages: 0 scripts written, 0 removed, 0 unchanged, 2 pages "
                          "failed");
    fs::remove(folder / "site/index.htm");
    EXPECT_EQ(NextLine(),
              "converted 1 page (index.html): 0 scripts written, 0 removed, 5 unchanged");

    EXPECT_EQ(m_Read.find_first_of("\r\x1b"), std::string::npos) << m_Read;
    EXPECT_TRUE(EndBy(SIGTERM));
}

INSTANTIATE_TEST_SUITE_P(TheKernelAndPolling, Watch,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"--poll", "50"}));

TEST_F(WatchRun, CtrlCInARunLeavesNoScratchFile) {
    fs::create_directories(folder / "site");
    fs::create_directory(folder / "out");
    WriteBytes(folder / "site/a.html", "<p>a</p>");
    Start({"--to", "php", "-d", "out", "site"});
    ASSERT_EQ(NextLine(), "converted 1 page (a.html): 1 script written, 0 removed, 0 unchanged");
    // Eight gigabytes that take no room, long enough to convert.
    WriteBytes(folder / "site/large.html", "");
    fs::resize_file(folder / "site/large.html", 8ull << 30);
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    const auto scratchGrows = [&] {
        for (const auto& entry : fs::directory_iterator(folder / "out")) {
            std::error_code gone;
            if (entry.path().filename().string().starts_with(".qm") &&
                fs::file_size(entry.path(), gone) > (1u << 20) && !gone) {
                return true;
            }
        }
        return false;
    };
    while (!scratchGrows() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(scratchGrows());
    EXPECT_TRUE(EndBy(SIGINT));
    EXPECT_EQ(FilesIn("out"), (std::map<std::string, std::string>{
                                  {"a.php", Convert("--to php site/a.html").output}}));
}

TEST_F(WatchRun, PagesBelowAFolderThatCannotBeSearchedAreNotTakenForGone) {
    fs::create_directories(folder / "site/x/y");
    fs::create_directory(folder / "out");
    WriteBytes(folder / "site/x/y/page.html", "<p>deep</p>");
    fs::permissions(folder.Path(), fs::perms::all);
    fs::permissions(folder / "out", fs::perms::all);
    Start({"--to", "php", "-d", "out", "site"}, true);
    ASSERT_EQ(NextLine(), "converted 1 page (x/y/page.html): 1 script written, 0 removed, 0 "
                          "unchanged");
    // "x" can still be listed, but not entered.
    fs::permissions(folder / "site/x", fs::perms(0644));
    EXPECT_EQ(NextLine(), "quillomatic-convert: Cannot open \"site/x/y\": permission denied.");
    EXPECT_EQ(NextLine(), "converted 0 pages: 0 scripts written, 0 removed, 0 unchanged");
    EXPECT_TRUE(fs::exists(folder / "out/x/y/page.php"));
    EXPECT_TRUE(EndBy(SIGTERM));
}

TEST_F(WatchRun, WhereTheKernelRefusesWatchesItSaysWhichLimitAndWritesNothing) {
    // In a user namespace of its own, whose limit it may set: the folder
    // above the site, the site and "a" take the three watches allowed.
    fs::create_directories(folder / "site/a/b");
    fs::create_directory(folder / "out");
    WriteBytes(folder / "site/a/b/page.html", "<p>deep</p>");
    const auto result = Convert(
        "--watch --to php -d out site",
        "unshare -Ur sh -c 'echo 3 > /proc/sys/user/max_inotify_watches && exec \"$0\" \"$@\"'");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(Errors(), "quillomatic-convert: cannot watch \"site/a/b\": the kernel allows no more "
                        "inotify watches; raise fs.inotify.max_user_watches (sysctl "
                        "fs.inotify.max_user_watches=N), or watch by polling with --poll MS\n");
    EXPECT_TRUE(fs::is_empty(folder / "out"));
}

} // namespace
} // namespace quillomatic
