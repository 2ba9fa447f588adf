// quillomatic-convert on a site's pages: one batch run against one run per
// page and format, side by side, the scripts of both compared byte for byte.
//
//   build/bin/batch_benchmark [PAGES [KB]]    (default 300 pages of 20 KB;
//                                              ROUNDS=N in the environment, default 3)
//
// Each round times, in turn and each into a new, empty folder: the batch
// (--to all --output-dir, as many jobs as processors), the batch with
// --jobs 1, one run per page and format with --output FILE (the same
// whole-or-nothing replacement as the batch), and one run per page and format
// with standard output sent to the file, as a Makefile rule "$< > $@" would.
// The runs are started directly (posix_spawn), without a shell between, so the
// per-page figures are the least such a build script could take.
#include "SamplePage.h"
#include "TargetFormat.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quillomatic::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Runs quillomatic-convert with `arguments`; with `standardOutput`, its
// standard output goes to that file. Fails unless it exits with 0.
void RunCompanion(const std::vector<std::string>& arguments,
                  const std::string& standardOutput = {}) {
    std::vector<char*> argv{const_cast<char*>(QUILLOMATIC_CONVERT)};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (!standardOutput.empty()) {
        ::posix_spawn_file_actions_addopen(&actions, 1, standardOutput.c_str(),
                                           O_WRONLY | O_CREAT | O_TRUNC, 0666);
    }
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        throw std::runtime_error("quillomatic-convert failed");
    }
}

// A new folder for one run. Nothing is deleted until the benchmark ends: ext4
// passes over the inodes of files deleted in the last minute or so when it
// makes new ones, which would charge one run for the clearing up of another.
fs::path NewFolder(const fs::path& root, int round, const std::string& name) {
    const fs::path folder = root / (name + "-" + std::to_string(round));
    fs::create_directory(folder);
    return folder;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The number of files that differ between the two folders, or are missing
// from one of them.
std::size_t Differences(const fs::path& a, const fs::path& b) {
    std::size_t differences = 0;
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(a)) {
        ++files;
        const fs::path other = b / entry.path().filename();
        if (!fs::exists(other) || ReadFile(entry.path()) != ReadFile(other)) {
            ++differences;
        }
    }
    const auto filesOfB = static_cast<std::size_t>(
        std::distance(fs::directory_iterator(b), fs::directory_iterator()));
    return differences + (filesOfB > files ? filesOfB - files : files - filesOfB);
}

double Median(std::vector<double> values) {
    std::ranges::sort(values);
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Seconds `run` takes, from a page cache with nothing left to write out: the
// batch makes its scripts durable with syncfs(), which would otherwise also
// write out what the runs before it left behind.
template <typename Run> double SecondsOf(Run run) {
    ::sync();
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int Measure(std::size_t pageCount, std::size_t kilobytes, int rounds) {
    std::string pattern = (fs::temp_directory_path() / "quillomatic-batch-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    const fs::path root = pattern;
    fs::create_directory(root / "pages");

    // The pages differ from each other in their first line and their length.
    std::vector<std::string> pages;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < pageCount; ++i) {
        const std::string page = "<!-- page " + std::to_string(i) + " -->\r\n" +
                                 MakePage(PageShape::Mixed, kilobytes * 1024 + i % 97);
        pages.push_back((root / "pages" / ("page" + std::to_string(i) + ".html")).string());
        std::ofstream(pages.back(), std::ios::binary) << page;
        bytes += page.size();
    }

    const auto batch = [&](const fs::path& folder, const std::vector<std::string>& extra) {
        std::vector<std::string> arguments{"--to", "all", "--output-dir", folder.string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        arguments.insert(arguments.end(), pages.begin(), pages.end());
        RunCompanion(arguments);
    };
    const auto perPage = [&](const fs::path& folder, bool toStandardOutput) {
        for (const std::string& page : pages) {
            const std::string name = fs::path(page).stem().string();
            for (const TargetFormat& format : kTargetFormats) {
                const std::string script =
                    (folder / (name + "." + std::string(format.Extension))).string();
                const std::string word(format.CommandName);
                if (toStandardOutput) {
                    RunCompanion({"--to", word, page}, script);
                } else {
                    RunCompanion({"--to", word, "--output", script, page});
                }
            }
        }
    };

    std::vector<double> batchSeconds, oneJobSeconds, outputSeconds, redirectSeconds;
    std::size_t differences = 0;
    for (int round = 0; round < rounds; ++round) {
        const fs::path all = NewFolder(root, round, "batch");
        batchSeconds.push_back(SecondsOf([&] { batch(all, {}); }));
        const fs::path oneJob = NewFolder(root, round, "one-job");
        oneJobSeconds.push_back(SecondsOf([&] { batch(oneJob, {"--jobs", "1"}); }));
        const fs::path output = NewFolder(root, round, "output");
        outputSeconds.push_back(SecondsOf([&] { perPage(output, false); }));
        const fs::path redirect = NewFolder(root, round, "redirect");
        redirectSeconds.push_back(SecondsOf([&] { perPage(redirect, true); }));
        differences +=
            Differences(all, oneJob) + Differences(all, output) + Differences(all, redirect);
        std::fprintf(stderr, "round %d of %d done\n", round + 1, rounds);
    }
    fs::remove_all(root);

    const std::size_t scripts = pageCount * kTargetFormats.size();
    const double batchMedian = Median(batchSeconds);
    std::printf("%zu pages of %zu KB (%.1f MB in all) into the five formats: %zu scripts;\n"
                "%u processors; %d rounds, medians\n\n",
                pageCount, kilobytes, static_cast<double>(bytes) / 1e6, scripts,
                std::thread::hardware_concurrency(), rounds);
    std::printf("%-52s %8s %10s\n", "", "seconds", "batch x");
    const auto row = [&](const char* what, const std::vector<double>& seconds) {
        std::printf("%-52s %8.2f %10.1f\n", what, Median(seconds), Median(seconds) / batchMedian);
    };
    row("one batch run (--to all --output-dir)", batchSeconds);
    row("one batch run, --jobs 1", oneJobSeconds);
    row("one run per page and format, --output FILE", outputSeconds);
    row("one run per page and format, > FILE", redirectSeconds);
    std::printf("\nscripts compared byte for byte with the batch's: %s\n",
                differences == 0 ? "all identical" : "DIFFERENT");
    return differences == 0 ? 0 : 1;
}

} // namespace
} // namespace quillomatic::bench

int main(int argc, char* argv[]) {
    const std::size_t pages = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 300;
    const std::size_t kilobytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 20;
    const char* rounds = std::getenv("ROUNDS");
    if (pages == 0 || kilobytes == 0) {
        std::fprintf(stderr,
                     "Usage: batch_benchmark [PAGES [KB]]   (ROUNDS=N in the environment)\n");
        return 2;
    }
    try {
        return quillomatic::bench::Measure(pages, kilobytes,
                                           rounds != nullptr ? std::max(1, std::atoi(rounds)) : 3);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "batch_benchmark: %s\n", error.what());
        return 1;
    }
}
