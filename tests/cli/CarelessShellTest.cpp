// quillomatic-convert started by a careless or hostile shell: no script open
// to others, no page written over, no message in a script, no litter left.
#include "CompanionRun.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <utility>

extern char** environ;

namespace quillomatic {
namespace {

using testing::ReadBytes;
using testing::RunShell;
using testing::ShellQuoted;
using testing::WriteBytes;
namespace fs = std::filesystem;

const std::string kPage = "<p class=\"x\">$5</p>\r\n";

using CarelessShell = testing::CompanionRun;

TEST_F(CarelessShell, ParallelBatchesLeaveNoScriptWritableByOthers) {
    // Each thread used to read the umask by setting it to 0 and back, so
    // another thread could create its scripts meanwhile with mode 0666.
    fs::create_directory(folder / "pages");
    std::string pages;
    for (int i = 0; i < 2000; ++i) {
        const std::string page = "pages/p" + std::to_string(i) + ".html";
        WriteBytes(folder / page, kPage);
        pages += " " + page;
    }
    for (int run = 0; run < 3; ++run) {
        const std::string out = "out" + std::to_string(run);
        fs::create_directory(folder / out);
        const auto result = Convert("--to all -j 2 -d " + out + pages, "umask 022 &&");
        ASSERT_EQ(result.exitCode, 0) << Errors();
        std::size_t scripts = 0;
        for (const auto& entry : fs::directory_iterator(folder / out)) {
            ++scripts;
            ASSERT_EQ(entry.status().permissions(), fs::perms(0644)) << entry.path();
        }
        EXPECT_EQ(scripts, 10000u);
    }
}

TEST_F(CarelessShell, NoScriptIsWrittenOverAPageWhateverLeadsThere) {
    WriteBytes(folder / "index.html", kPage);
    WriteBytes(folder / "page.php", kPage);
    fs::create_directories(folder / "linked");
    fs::create_symlink("../index.html", folder / "linked/index.php");
    fs::create_directories(folder / "hard");
    fs::create_hard_link(folder / "index.html", folder / "hard/index.php");

    const struct {
        std::string Arguments;
        std::string Target;
        std::string Page;
    } kRefusals[] = {
        {"--to php,perl -d linked index.html", "linked/index.php", "index.html"},
        {"--to php -d hard index.html", "hard/index.php", "index.html"},
        {"--to php --output index.html index.html", "index.html", "index.html"},
        {"--to php -d . page.php", "./page.php", "page.php"},
        {"--to php page.php >> page.php", "standard output", "page.php"},
        // A page on standard input is a page as much as a page named.
        {"--to php --output page.php < page.php", "page.php", "standard input"},
        {"--to php -o /dev/stdin < page.php", "/dev/stdin", "standard input"},
        {"--to php < page.php >> page.php", "standard output", "standard input"},
        {"--to php - < page.php 1<> page.php", "standard output", "standard input"},
    };
    for (const auto& refusal : kRefusals) {
        const auto result = Convert(refusal.Arguments);
        EXPECT_EQ(result.exitCode, 1) << refusal.Arguments;
        EXPECT_EQ(Errors(), "quillomatic-convert: Cannot write \"" + refusal.Target +
                                "\": it is the page \"" + refusal.Page + "\" itself.\n");
    }
    // Each refusal is for that script alone: the page's other scripts are written.
    EXPECT_TRUE(fs::exists(folder / "linked/index.pl"));
    EXPECT_EQ(ReadBytes(folder / "index.html"), kPage);
    EXPECT_EQ(ReadBytes(folder / "page.php"), kPage);
    EXPECT_TRUE(fs::is_symlink(folder / "linked/index.php"));
    EXPECT_EQ(fs::hard_link_count(folder / "index.html"), 2u);
}

// Runs the companion in the test's folder on pages that end and then on one
// that never does, a FIFO fed without end.
class EndlessPage : public testing::CompanionRun {
protected:
    void SetUp() override { ASSERT_EQ(::mkfifo((folder / "endless.html").c_str(), 0600), 0); }
    void TearDown() override {
        if (m_Companion > 0) {
            ::kill(m_Companion, SIGKILL);
            ::waitpid(m_Companion, nullptr, 0);
        }
    }

    // Starts it with `arguments` and "endless.html" after them, standard
    // error going to stderr.txt, and waits until it is writing the endless
    // page's script into `out`. With `closedStandardStreams` it starts with
    // descriptors 0, 1 and 2 closed.
    void Start(std::vector<std::string> arguments, bool closedStandardStreams = false) {
        const auto writer =
            RunShell("cd " + ShellQuoted(folder.Path()) +
                     " && (timeout 60 yes '<p>endless</p>' > endless.html &) > /dev/null");
        ASSERT_EQ(writer.exitCode, 0);
        arguments.insert(arguments.begin(), QUILLOMATIC_CONVERT);
        arguments.push_back("endless.html");
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, folder.Path().c_str());
        if (closedStandardStreams) {
            for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
                posix_spawn_file_actions_addclose(&actions, descriptor);
            }
        } else {
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "stderr.txt",
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        }
        ::posix_spawn(&m_Companion, QUILLOMATIC_CONVERT, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_GT(m_Companion, 0);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!ScratchGrows() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    // Ends it by `signal`; true if it ended by that signal.
    bool EndBy(int signal) {
        ::kill(m_Companion, signal);
        int status = 0;
        const pid_t ended = ::waitpid(std::exchange(m_Companion, -1), &status, 0);
        return ended > 0 && WIFSIGNALED(status) && WTERMSIG(status) == signal;
    }

    [[nodiscard]] std::string OpenAs(int descriptor) const {
        std::error_code unreadable;
        return fs::read_symlink("/proc/" + std::to_string(m_Companion) + "/fd/" +
                                    std::to_string(descriptor),
                                unreadable)
            .string();
    }

    [[nodiscard]] std::set<std::string> Out() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder / "out")) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

private:
    bool ScratchGrows() const {
        std::error_code gone;
        for (const auto& entry : fs::directory_iterator(folder / "out")) {
            if (entry.path().filename().string().starts_with(".qm") &&
                fs::file_size(entry.path(), gone) > (1u << 20) && !gone) {
                return true;
            }
        }
        return false;
    }

    pid_t m_Companion = -1;
};

TEST_F(EndlessPage, ClosedStandardStreamsAreHeldSoNoFileTakesTheirNumbers) {
    // Otherwise the page would be opened as descriptor 0 and its script as 1,
    // and an error message for standard error would go into the next file.
    fs::create_directory(folder / "out");
    Start({"--to", "php", "-d", "out"}, true);
    EXPECT_EQ(OpenAs(STDIN_FILENO), "/dev/null");
    EXPECT_EQ(OpenAs(STDOUT_FILENO), "/dev/null");
    EXPECT_EQ(OpenAs(STDERR_FILENO), "/dev/null");
    EXPECT_TRUE(EndBy(SIGTERM));

    WriteBytes(folder / "page.html", kPage);
    const auto closedOutput = Convert("--to php page.html >&-");
    EXPECT_EQ(closedOutput.exitCode, 1);
    EXPECT_EQ(Errors(), "quillomatic-convert: Cannot write \"standard output\": it is closed.\n");
}

TEST_F(EndlessPage, SignalsRemoveTheScratchFilesAndKeepWhatIsFinished) {
    std::vector<std::string> arguments = {"--to", "php", "-j", "1", "-d", "out"};
    std::set<std::string> finished = {"p49.php"};
    for (int i = 10; i < 50; ++i) {
        WriteBytes(folder / ("p" + std::to_string(i) + ".html"), kPage);
        arguments.push_back("p" + std::to_string(i) + ".html");
        // Scripts are put in place 32 at a time: the first 32 are by the time
        // the endless page is read.
        if (i < 42) {
            finished.insert("p" + std::to_string(i) + ".php");
        }
    }
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        fs::remove_all(folder / "out");
        fs::create_directory(folder / "out");
        WriteBytes(folder / "out/p49.php", "older");
        Start(arguments);
        EXPECT_TRUE(EndBy(signal)) << "signal " << signal;
        EXPECT_EQ(Out(), finished) << "signal " << signal;
        EXPECT_EQ(ReadBytes(folder / "out/p49.php"), "older");
        EXPECT_EQ(ReadBytes(folder / "out/p10.php"),
                  "<?php\r\n// GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n"
                  "echo \"<p class=\\\"x\\\">\\$5</p>\\n\";\r\n?>");
    }
}

TEST_F(CarelessShell, AReaderGoneEndsItBySigpipe) {
    // "| head -1": the write that finds the pipe without a reader is in the
    // thread that writes the script, and the end must still be the whole
    // program's, by SIGPIPE, as a shell pipeline expects.
    std::string page;
    for (int i = 0; i < 20000; ++i) {
        page += kPage;
    }
    WriteBytes(folder / "page.html", page);
    const auto result = RunShell("cd " + ShellQuoted(folder.Path()) + " && { " +
                                 QUILLOMATIC_CONVERT + " --to php page.html; echo $? >status; } | true");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(ReadBytes(folder / "status"), std::to_string(128 + SIGPIPE) + "\n");
}

TEST_F(CarelessShell, AReplacedScriptKeepsItsAccessControlList) {
    // Readable by the web server's user through an entry of its own, and by
    // no one else: the owning group has no right.
    WriteBytes(folder / "index.html", kPage);
    fs::create_directory(folder / "out");
    const std::string kList = "user::rw-\nuser:daemon:r--\ngroup::---\nmask::r--\nother::---\n";
    for (const char* arguments : {"--to php -o out/index.php index.html",
                                  "--to php,perl -d out index.html"}) {
        WriteBytes(folder / "out/index.php", "older");
        const acl_t list = ::acl_from_text(kList.c_str());
        ASSERT_EQ(::acl_set_file((folder / "out/index.php").c_str(), ACL_TYPE_ACCESS, list), 0)
            << "this file system keeps no ACLs";
        ::acl_free(list);
        ASSERT_EQ(Convert(arguments).exitCode, 0) << Errors();
        const acl_t kept = ::acl_get_file((folder / "out/index.php").c_str(), ACL_TYPE_ACCESS);
        char* text = ::acl_to_text(kept, nullptr);
        EXPECT_EQ(std::string(text), kList) << arguments;
        ::acl_free(text);
        ::acl_free(kept);
        EXPECT_NE(ReadBytes(folder / "out/index.php"), "older");
    }
}

} // namespace
} // namespace quillomatic
