// quillomatic-convert --output-dir: many pages into many formats in one run,
// the real program on real files.
#include "CompanionRun.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace quillomatic {
namespace {

using testing::DataFile;
using testing::ReadBytes;
using testing::RunShell;
using testing::ShellQuoted;
using testing::WriteBytes;
namespace fs = std::filesystem;

using testing::kAsNobody;

const std::vector<std::string> kExtensions = {"asp", "js", "php", "jsp", "pl"};

// Every file below a folder by its path there, with its bytes.
std::map<std::string, std::string> FilesIn(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(folder).string()] =
                ReadBytes(entry.path().string());
        }
    }
    return files;
}

std::string WithLfLineBreaks(std::string text) {
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; ++at) {
        text.erase(at, 1);
    }
    return text;
}

// A command that returns at once and, `seconds` later, writes `page` into the
// FIFO `fifo`; it gives up after a while if no one opens the FIFO to read.
std::string LateWriter(const std::string& page, const std::string& fifo,
                       const std::string& seconds) {
    return "sh -c " + ShellQuoted("(sleep " + seconds + "; timeout 10 sh -c 'cat " + page + " > " +
                                  fifo + "') &");
}

using Batch = testing::CompanionRun;

TEST_F(Batch, EachPageInEachFormatGoesToTheFolderUnderThePagesName) {
    fs::create_directories(folder / "site/en");
    fs::create_directory(folder / "out");
    for (const char* page : {"site/en/index.html", "archive.tar.htm", "README"}) {
        fs::copy_file(DataFile("worked_example.html"), folder / page);
    }
    const auto result =
        Convert("--to all --output-dir out site/en/index.html archive.tar.htm README");
    EXPECT_EQ(result.exitCode, 0) << Errors();
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(Errors(), "");
    std::map<std::string, std::string> expected;
    for (const std::string name : {"index", "archive.tar", "README"}) {
        for (const std::string& extension : kExtensions) {
            expected[name + "." + extension] = ReadBytes(DataFile("worked_example." + extension));
        }
    }
    EXPECT_EQ(FilesIn(folder / "out"), expected);
}

TEST_F(Batch, AFoldersPagesAreMirroredBelowTheOutputFolder) {
    const std::map<std::string, std::string> pages = {
        {"index.html", "<p>home</p>"},
        {"about.htm", "<p>\"about\" $me @me</p>\r\n"},
        {"en/index.html", "<p>en</p>\n<script>x</script>"},
        {"en/my docs/Guide.HTML", "<TABLE WIDTH=100%>\n"},
    };
    for (const auto& [path, text] : pages) {
        fs::create_directories(fs::path(folder / ("site/" + path)).parent_path());
        WriteBytes(folder / ("site/" + path), text);
    }
    // Left out: a file that is not a page, hidden files and folders, a link
    // to a folder.
    WriteBytes(folder / "site/en/notes.txt", "notes");
    WriteBytes(folder / "site/.old.html", "old");
    fs::create_directory(folder / "site/.drafts");
    WriteBytes(folder / "site/.drafts/new.html", "draft");
    fs::create_directory_symlink("en", folder / "site/mirror");
    fs::create_directory(folder / "out");
    // The home page named again is the same file under the same name.
    const auto result = Convert("--to php,perl --output-dir out site site/index.html");
    EXPECT_EQ(result.exitCode, 0) << Errors();
    EXPECT_EQ(Errors(), "");
    std::map<std::string, std::string> expected;
    for (const auto& [path, text] : pages) {
        const fs::path name = fs::path(path).parent_path() / fs::path(path).stem();
        for (const std::string format : {"php", "perl"}) {
            const std::string extension = format == "perl" ? "pl" : format;
            expected[name.string() + "." + extension] =
                Convert("--to " + format + " " + ShellQuoted("site/" + path)).output;
        }
    }
    EXPECT_EQ(FilesIn(folder / "out"), expected);
}

TEST_F(Batch, ClashesAreEachToldOnALineAndNothingIsWritten) {
    fs::create_directories(folder / "site/en");
    for (const char* page :
         {"site/index.html", "site/index.HTM", "site/en/a.html", "site/en/b.html", "a.htm"}) {
        WriteBytes(folder / page, "<p>");
    }
    fs::create_directory(folder / "out");
    const auto result = Convert("--to php,perl --output-dir out site a.htm site/en");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(Errors(), "quillomatic-convert: \"site/index.HTM\" and \"site/index.html\" would "
                        "both be written as out/index.php\n"
                        "quillomatic-convert: \"a.htm\" and \"site/en/a.html\" would both be "
                        "written as out/a.php\n"
                        "Try \"quillomatic-convert --help\" for more information.\n");
    EXPECT_TRUE(fs::is_empty(folder / "out"));
}

TEST_F(Batch, UsageErrorsWriteNothing) {
    WriteBytes(folder / "a.html", "<p>a</p>");
    fs::create_directory(folder / "sub");
    WriteBytes(folder / "sub/a.htm", "<p>another a</p>");
    fs::create_directory(folder / "out");
    for (const char* arguments : {
             "--to php a.html sub/a.htm -o a.php", // several pages
             "--to php,perl a.html -o a.php",      // several formats
             "--to php --output-dir out < a.html", // no page, and not standard input
             "--to php --output-dir out a.html - < a.html",
         }) {
        const auto result = Convert(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_EQ(result.output, "") << arguments;
        EXPECT_TRUE(Errors().ends_with("\nTry \"quillomatic-convert --help\" for more information.\n"))
            << Errors();
        EXPECT_EQ(folder.Entries(), (std::set<std::string>{"a.html", "out", "stderr.txt", "sub"}))
            << arguments;
        EXPECT_TRUE(fs::is_empty(folder / "out")) << arguments;
    }
}

TEST_F(Batch, PagesThatFailAreReportedInOrderAndTheOthersConverted) {
    // The unprivileged user must reach the folder and write the scripts.
    fs::permissions(folder.Path(), fs::perms(0777));
    fs::create_directory(folder / "out");
    fs::permissions(folder / "out", fs::perms(0777));
    WriteBytes(folder / "a.html", "<p>a</p>");
    WriteBytes(folder / "b.html", "<p>b</p>");
    fs::create_directory(folder / "pages");
    WriteBytes(folder / "secret.html", "<p>secret</p>");
    fs::permissions(folder / "secret.html", fs::perms::owner_write);
    // A site with a folder the user cannot read, and one whose place in the
    // output folder a file holds.
    fs::create_directories(folder / "site/private");
    fs::permissions(folder / "site/private", fs::perms::owner_all);
    fs::create_directory(folder / "site/sub");
    WriteBytes(folder / "site/sub/c.html", "<p>c</p>");
    WriteBytes(folder / "site/d.html", "<p>d</p>");
    WriteBytes(folder / "out/sub", "a file");
    // The first page fails last, once its writer comes: a pipe is read once,
    // and each format needs the page again. Its line still comes first.
    ASSERT_EQ(::mkfifo((folder / "late.html").c_str(), 0666), 0);
    const auto result =
        Convert("--to php,perl --output-dir out late.html a.html missing.html pages secret.html "
                "site b.html",
                LateWriter("a.html", "late.html", "0.3") + " && " + kAsNobody);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(Errors(),
              "quillomatic-convert: Cannot read \"late.html\": it can be read only once, and each "
              "format reads it again.\n"
              "quillomatic-convert: Cannot open \"missing.html\": the file does not exist.\n"
              "quillomatic-convert: Cannot convert \"pages\": no file in it ends in .html or "
              ".htm.\n"
              "quillomatic-convert: Cannot open \"secret.html\": permission denied.\n"
              "quillomatic-convert: Cannot open \"site/private\": permission denied.\n"
              "quillomatic-convert: Cannot create \"out/sub\": a file is in the way.\n");
    EXPECT_EQ(FilesIn(folder / "out"), (std::map<std::string, std::string>{
                                           {"a.php", Convert("--to php a.html").output},
                                           {"a.pl", Convert("--to perl a.html").output},
                                           {"b.php", Convert("--to php b.html").output},
                                           {"b.pl", Convert("--to perl b.html").output},
                                           {"d.php", Convert("--to php site/d.html").output},
                                           {"d.pl", Convert("--to perl site/d.html").output},
                                           {"sub", "a file"},
                                       }));
}

TEST_F(Batch, OneJobAndFourJobsWriteTheSameFilesAndReport) {
    std::string pages;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "page" + std::to_string(i) + ".html";
        std::string page;
        for (int line = 0; line < 30 * i; ++line) {
            page += "<td class=\"n\">$" + std::to_string(line) + "@" + name + "</td>\r\n";
        }
        WriteBytes(folder / name, page);
        pages += " " + name;
        if (i == 7 || i == 30) {
            pages += " missing" + std::to_string(i) + ".html";
        }
    }
    // One page above the size that the engine writes on a thread of its own.
    WriteBytes(folder / "large.html", std::string(3'000'000, '"') + "\n</script>%>");
    pages += " large.html";
    fs::create_directory(folder / "one");
    fs::create_directory(folder / "four");

    const auto one = Convert("--to all --jobs 1 --output-dir one" + pages);
    const std::string errorsOfOne = Errors();
    const auto four = Convert("--to all --jobs 4 --output-dir four" + pages);
    EXPECT_EQ(one.exitCode, 1);
    EXPECT_EQ(four.exitCode, 1);
    EXPECT_EQ(Errors(), errorsOfOne);
    EXPECT_EQ(std::count(errorsOfOne.begin(), errorsOfOne.end(), '\n'), 2) << errorsOfOne;
    const auto files = FilesIn(folder / "one");
    EXPECT_EQ(files.size(), 41u * 5u);
    EXPECT_TRUE(files == FilesIn(folder / "four")) << "the files differ";
}

TEST_F(Batch, LfLineEndsChangeOnlyTheLineBreaks) {
    WriteBytes(folder / "page.html", "<p class=\"x\">a & b</p>\r\nline two\nline three\rlast");
    fs::create_directory(folder / "crlf");
    fs::create_directory(folder / "lf");
    ASSERT_EQ(Convert("--to all --output-dir crlf page.html").exitCode, 0) << Errors();
    ASSERT_EQ(Convert("--to all --line-ends lf --output-dir lf page.html").exitCode, 0) << Errors();
    for (const std::string& extension : kExtensions) {
        const std::string withCrLf = ReadBytes(folder / ("crlf/page." + extension));
        const std::string withLf = ReadBytes(folder / ("lf/page." + extension));
        EXPECT_GE(withCrLf.size() - WithLfLineBreaks(withCrLf).size(), 5u) << extension;
        EXPECT_EQ(withLf, WithLfLineBreaks(withCrLf)) << extension;
    }
    // ASP's statements keep their VBScript line break; so does one page to
    // standard output.
    const auto asp = Convert("--to asp --line-ends lf page.html");
    EXPECT_EQ(asp.output, ReadBytes(folder / "lf/page.asp"));
    EXPECT_NE(asp.output.find("\" & vbCrLf\n"), std::string::npos);
}

TEST_F(Batch, ProgressShowsOnATerminalOnceTheBatchRunsPastASecond) {
    // Two batches wait for their second page, a FIFO, whose writer comes late:
    // one runs on a terminal, under script(1), the other with standard error
    // in a file. A third batch, quick, runs on a terminal too.
    WriteBytes(folder / "a.html", "<p>a</p>");
    WriteBytes(folder / "b.html", "<p>b</p>");
    WriteBytes(folder / "empty", "");
    for (const char* output : {"slow", "plain", "quick"}) {
        fs::create_directory(folder / output);
    }
    for (const char* fifo : {"late1.html", "late2.html"}) {
        ASSERT_EQ(::mkfifo((folder / fifo).c_str(), 0600), 0);
    }
    const std::string convert = std::string(QUILLOMATIC_CONVERT) + " --to php --jobs 2";
    const auto onTerminal = [&](const std::string& arguments, const std::string& shown) {
        return "script -qec " + ShellQuoted(convert + " " + arguments) + " " + shown +
               ".typescript < empty > " + shown + ".txt";
    };
    const auto result = RunShell(
        "cd " + ShellQuoted(folder.Path()) + " && { " + LateWriter("a.html", "late1.html", "1.3") +
        " && " + LateWriter("a.html", "late2.html", "1.3") + " && " +
        onTerminal("--output-dir slow a.html late1.html b.html", "slow") + " & " + convert +
        " --output-dir plain a.html late2.html b.html 2> plain.txt && " +
        onTerminal("--output-dir quick a.html b.html", "quick") + " && wait; }");
    ASSERT_EQ(result.exitCode, 0);
    // One or more drawings of the line, each over the last, then the blank
    // that clears it.
    const std::string slow = ReadBytes(folder / "slow.txt");
    const std::string clearing = "\r" + std::string(22, ' ') + "\r";
    ASSERT_TRUE(slow.starts_with("\r") && slow.ends_with(clearing)) << slow;
    std::istringstream drawings(slow.substr(1, slow.size() - 1 - clearing.size()));
    for (std::string drawing; std::getline(drawings, drawing, '\r');) {
        EXPECT_TRUE(drawing.size() == 22 && drawing.starts_with("converted ") &&
                    drawing.ends_with(" of 3 pages") && drawing[10] >= '0' && drawing[10] <= '3')
            << slow;
    }
    EXPECT_EQ(ReadBytes(folder / "plain.txt"), "");
    EXPECT_EQ(ReadBytes(folder / "quick.txt"), "");
    EXPECT_EQ(FilesIn(folder / "slow").size(), 3u);
}

} // namespace
} // namespace quillomatic
