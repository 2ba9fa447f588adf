// quillomatic-convert --output-dir: many pages into many formats in one run.
#include "BatchConverter.h"

#include "BatchReport.h"
#include "FileError.h"
#include "FileSystemObject.h"
#include "PageFiles.h"
#include "ReplacementGroup.h"
#include "ScriptNames.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sched.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace quillomatic {
namespace {

// Scripts a thread lets wait for one sync: enough that the sync's cost
// vanishes among them, few enough that the descriptors they hold stay well
// inside the usual limit of 1,024.
constexpr std::size_t kScriptsPerSync = 32;

// The processors this process may run on, as nproc counts them.
unsigned Processors() {
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof(set), &set) == 0) {
        return static_cast<unsigned>(std::max(1, CPU_COUNT(&set)));
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

// How many threads the limit on open descriptors allows, each holding its
// group of scripts waiting, a page and the script being written.
std::size_t ThreadsTheDescriptorsAllow(std::size_t formats) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return SIZE_MAX;
    }
    const std::size_t perThread = kScriptsPerSync + 2 * formats + 1;
    const std::size_t spare = 32; // standard streams and whatever else is open
    const auto descriptors = static_cast<std::size_t>(limit.rlim_cur);
    return descriptors > spare + perThread ? (descriptors - spare) / perThread : 1;
}

// Back to the start of the page for the next format.
void Rewind(TextStream& page) {
    if (::lseek(page.Descriptor(), 0, SEEK_SET) != 0) {
        throw FileError::Make(FileError::kDeviceIOError, FileError::Action::Read, page.Path(),
                              "it can be read only once, and each format reads it again");
    }
}

// A folder below the output folder, for the scripts of a page from a folder's subfolder.
void MakeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error.value() == ENOTDIR) {
        throw FileError::Make(FileError::kPathFileAccessError, FileError::Action::Create,
                              folder.string(), "a file is in the way");
    }
    if (error) {
        throw FileError::FromErrno(error.value(), FileError::Action::Create, folder.string());
    }
}

} // namespace

BatchConverter::BatchConverter(std::vector<BatchOutput> outputs, std::string folder)
    : m_Outputs(std::move(outputs)), m_Folder(std::move(folder)) {
    struct stat status {};
    if (::stat(m_Folder.c_str(), &status) != 0) {
        throw std::runtime_error("the output folder \"" + m_Folder + "\" " +
                                 (errno == ENOENT
                                      ? std::string("does not exist")
                                      : "cannot be used: " + std::string(std::strerror(errno))));
    }
    if (!S_ISDIR(status.st_mode)) {
        throw std::runtime_error("the output folder \"" + m_Folder + "\" is not a folder");
    }
}

void BatchConverter::Run(const std::vector<SitePage>& pages, unsigned jobs,
                         BatchReport& report) const {
    const std::size_t threads =
        std::min({static_cast<std::size_t>(jobs > 0 ? jobs : Processors()), pages.size(),
                  ThreadsTheDescriptorsAllow(m_Outputs.size())});
    // Looked at before the first script is written.
    std::vector<std::string> paths;
    for (const SitePage& page : pages) {
        paths.push_back(page.Path);
    }
    const PageFiles pageFiles(paths);
    std::atomic<std::size_t> next = 0;
    std::vector<std::jthread> helpers;
    for (std::size_t i = 1; i < threads; ++i) {
        try {
            helpers.emplace_back([&] { ConvertPages(pages, pageFiles, next, report); });
        } catch (const std::system_error&) {
            break; // the threads started share the pages among them
        }
    }
    ConvertPages(pages, pageFiles, next, report);
}

void BatchConverter::ConvertPages(const std::vector<SitePage>& pages, const PageFiles& pageFiles,
                                  std::atomic<std::size_t>& next, BatchReport& report) const {
    // Made once: it seeds a generator of names, which costs more than a page.
    const FileSystemObject fileSystem;
    ReplacementGroup group;
    const auto commit = [&] {
        for (auto& [page, failure] : group.Commit()) {
            report.PageDone(page, std::move(failure));
        }
    };
    for (std::size_t page = next++; page < pages.size(); page = next++) {
        try {
            if (pages[page].Failure.empty()) {
                std::string refusals;
                std::vector<std::string> notes;
                auto scripts = WriteScripts(pages[page], pageFiles, fileSystem, refusals, notes);
                report.PageNoted(page, std::move(notes));
                group.Add(page, std::move(scripts), std::move(refusals));
            } else {
                report.PageDone(page, pages[page].Failure);
            }
        } catch (const std::exception& error) {
            // A ComponentError's what() is its description.
            report.PageDone(page, error.what());
        }
        if (group.Waiting() >= kScriptsPerSync) {
            commit();
        }
    }
    commit();
}

std::vector<std::unique_ptr<AtomicTextFile>>
BatchConverter::WriteScripts(const SitePage& page, const PageFiles& pageFiles,
                             const FileSystemObject& fileSystem, std::string& refusals,
                             std::vector<std::string>& notes) const {
    TextStream source = fileSystem.OpenTextFile(page.Path);
    if (const auto below = std::filesystem::path(page.Name).parent_path(); !below.empty()) {
        MakeFolder(std::filesystem::path(m_Folder) / below);
    }
    std::vector<std::unique_ptr<AtomicTextFile>> scripts;
    for (const BatchOutput& output : m_Outputs) {
        const std::string target = ScriptNames::ScriptPath(m_Folder, page.Name, output.Extension);
        if (const std::string* overwritten = pageFiles.PageAt(target)) {
            refusals += (refusals.empty() ? "" : "\n") +
                        PageFiles::Refusal(target, *overwritten).Description();
            continue;
        }
        if (!scripts.empty()) {
            Rewind(source);
        }
        auto script = std::make_unique<AtomicTextFile>(target);
        for (std::string& note : output.Write(page, source, script->Stream())) {
            notes.push_back(std::move(note));
        }
        script->Complete();
        scripts.push_back(std::move(script));
    }
    source.Close();
    return scripts;
}

} // namespace quillomatic
