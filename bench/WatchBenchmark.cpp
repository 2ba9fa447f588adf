// quillomatic-convert --watch on a site: the time from a save to its scripts
// written, and the processor time the watch takes while nothing changes.
//
//   build/bin/watch_benchmark [PAGES [SAVES [IDLE_SECONDS]]]
//                             (default 2,000 pages of 20 KB in 20 folders,
//                              20 saves, 60 seconds idle)
//
// For each way of watching (the kernel's word with the default debounce of
// 100 ms and with none, and polling once a second) it starts a watch of the
// site into all five formats, waits for the first run's line, measures the
// processor time over IDLE_SECONDS of quiet, saves one page after another
// (each save waits for its run's line, which comes once the five scripts are
// in place), checks the scripts, and measures the quiet once more. Processor
// time is the watch's own, from /proc.
#include "SamplePage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
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

// A watch running, its log on a pipe.
class Watch {
public:
    explicit Watch(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), QUILLOMATIC_CONVERT);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        int log[2];
        if (::pipe(log) != 0) {
            throw std::runtime_error("cannot make a pipe");
        }
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, log[1], STDERR_FILENO);
        ::posix_spawn_file_actions_addclose(&actions, log[0]);
        const int spawned = ::posix_spawn(&m_Pid, argv[0], &actions, nullptr, argv.data(), environ);
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(log[1]);
        m_Log = log[0];
        if (spawned != 0) {
            throw std::runtime_error("cannot start quillomatic-convert");
        }
    }
    ~Watch() {
        ::kill(m_Pid, SIGTERM);
        ::waitpid(m_Pid, nullptr, 0);
        ::close(m_Log);
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    // The next line of its log; fails after a minute without one.
    std::string NextLine() {
        for (;;) {
            if (const std::size_t end = m_Unread.find('\n'); end != std::string::npos) {
                std::string line = m_Unread.substr(0, end);
                m_Unread.erase(0, end + 1);
                return line;
            }
            pollfd ready{m_Log, POLLIN, 0};
            char block[4096];
            const ssize_t read = ::poll(&ready, 1, 60'000) == 1 ? ::read(m_Log, block, 4096) : 0;
            if (read <= 0) {
                throw std::runtime_error("the watch said nothing: " + m_Unread);
            }
            m_Unread.append(block, static_cast<std::size_t>(read));
        }
    }

    // Its processor time so far, user and system, in seconds.
    [[nodiscard]] double ProcessorSeconds() const {
        std::ifstream stat("/proc/" + std::to_string(m_Pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        double ticks = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            ticks += i >= 14 ? std::stod(field) : 0; // utime and stime
        }
        return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
    }

private:
    pid_t m_Pid = -1;
    int m_Log = -1;
    std::string m_Unread;
};

double Median(std::vector<double> values) {
    std::ranges::sort(values);
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The share of one processor the watch takes over `seconds` of quiet, in percent.
double IdleLoad(const Watch& watch, int seconds) {
    const double before = watch.ProcessorSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return (watch.ProcessorSeconds() - before) * 100.0 / seconds;
}

int Measure(std::size_t pageCount, int saves, int idleSeconds) {
    std::string pattern = (fs::temp_directory_path() / "quillomatic-watch-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    const fs::path root = pattern;
    const std::string body = MakePage(PageShape::Mixed, 20 * 1024);
    const auto pagePath = [&](std::size_t i) {
        return root / "site" / ("part" + std::to_string(i % 20)) /
               ("page" + std::to_string(i) + ".html");
    };
    for (std::size_t i = 0; i < pageCount; ++i) {
        fs::create_directories(pagePath(i).parent_path());
        std::ofstream(pagePath(i), std::ios::binary) << "<!-- page " << i << " -->\r\n" << body;
    }
    std::printf("%zu pages of 20 KB in 20 folders, --to all (%zu scripts); %d saves, %d s idle\n\n",
                pageCount, pageCount * 5, saves, idleSeconds);
    std::printf("%-32s %12s %10s %14s %14s %10s\n", "", "first run", "idle CPU", "save to written",
                "(min - max)", "idle after");
    const std::vector<std::pair<const char*, std::vector<std::string>>> ways = {
        {"inotify, --debounce 100", {}},
        {"inotify, --debounce 0", {"--debounce", "0"}},
        {"--poll 1000", {"--poll", "1000"}},
    };
    int round = 0;
    for (const auto& [name, options] : ways) {
        const fs::path out = root / ("out" + std::to_string(round++));
        fs::create_directory(out);
        std::vector<std::string> arguments = {"--watch", "--to", "all", "-d", out.string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back((root / "site").string());
        ::sync();
        Watch watch(arguments);
        const std::string first = watch.NextLine();
        const double idle = IdleLoad(watch, idleSeconds);
        std::vector<double> latencies;
        for (int save = 0; save < saves; ++save) {
            const std::size_t page = static_cast<std::size_t>(save * 97) % pageCount;
            const std::string marker = "<!-- saved " + std::to_string(round * 1000 + save) + " -->";
            const auto start = Clock::now();
            std::ofstream(pagePath(page), std::ios::binary) << marker << "\r\n" << body;
            const std::string line = watch.NextLine();
            latencies.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            std::ifstream script(out / ("part" + std::to_string(page % 20)) /
                                 ("page" + std::to_string(page) + ".php"));
            std::string text((std::istreambuf_iterator<char>(script)),
                             std::istreambuf_iterator<char>());
            if (text.find(marker) == std::string::npos) {
                throw std::runtime_error("the script of a save is not written: " + line);
            }
        }
        const double idleAfter = IdleLoad(watch, idleSeconds);
        const std::string taken = first.substr(first.rfind(", ") + 2);
        std::printf("%-32s %12s %9.3f%% %11.1f ms %5.1f - %5.1f ms %9.3f%%\n", name, taken.c_str(),
                    idle, Median(latencies), *std::ranges::min_element(latencies),
                    *std::ranges::max_element(latencies), idleAfter);
        std::fflush(stdout);
    }
    fs::remove_all(root);
    return 0;
}

} // namespace
} // namespace quillomatic::bench

int main(int argc, char* argv[]) {
    const std::size_t pages = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 2000;
    const int saves = argc > 2 ? std::atoi(argv[2]) : 20;
    const int idle = argc > 3 ? std::atoi(argv[3]) : 60;
    if (pages == 0 || saves <= 0 || idle <= 0) {
        std::fprintf(stderr, "Usage: watch_benchmark [PAGES [SAVES [IDLE_SECONDS]]]\n");
        return 2;
    }
    try {
        return quillomatic::bench::Measure(pages, saves, idle);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "watch_benchmark: %s\n", error.what());
        return 1;
    }
}
