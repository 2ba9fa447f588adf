// quillomatic-convert --output-dir: many pages into many formats in one run.
#include "BatchConverter.h"

#include "BatchReport.h"
#include "FileError.h"
#include "FileSystemObject.h"
#include "MemoryFailure.h"
#include "NameQuoting.h"
#include "OwnScripts.h"
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
#include <utility>

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

// Removes `file`, the output of a page that has gone, if this program wrote
// it. A file whose start says nothing of who wrote it (a page read back from
// a script) is never taken for one of ours.
OwnScripts::Removal Removed(const BatchOutput& output, const std::string& file) {
    if (output.Format != nullptr) {
        return OwnScripts::RemoveIfOurs(file, *output.Format);
    }
    std::error_code unknown;
    return std::filesystem::exists(std::filesystem::symlink_status(file, unknown))
               ? OwnScripts::Removal::NotOurs
               : OwnScripts::Removal::Absent;
}

} // namespace

BatchConverter::BatchConverter(std::vector<BatchOutput> outputs, std::string folder,
                               Unchanged unchanged)
    : m_Outputs(std::move(outputs)), m_Folder(std::move(folder)), m_Unchanged(unchanged) {
    struct stat status {};
    // Made with its parents when missing, as compilers make their output folders.
    if (::stat(m_Folder.c_str(), &status) != 0 && errno == ENOENT) {
        MakeFolder(m_Folder);
    }
    if (::stat(m_Folder.c_str(), &status) != 0) {
        throw std::runtime_error("the output folder " + NameQuoting::Quoted(m_Folder) +
                                 " cannot be used: " + std::string(std::strerror(errno)));
    }
    if (!S_ISDIR(status.st_mode)) {
        throw std::runtime_error("the output folder " + NameQuoting::Quoted(m_Folder) +
                                 " is not a folder");
    }
}

BatchConverter::Totals BatchConverter::Run(const std::vector<SitePage>& pages, unsigned jobs,
                                           BatchReport& report) const {
    // Looked at before the first script is written.
    std::vector<std::string> paths;
    for (const SitePage& page : pages) {
        paths.push_back(page.Path);
    }
    return Run(pages, PageFiles(paths), jobs, report);
}

BatchConverter::Totals BatchConverter::Run(const std::vector<SitePage>& pages,
                                           const PageFiles& site, unsigned jobs,
                                           BatchReport& report) const {
    const std::size_t threads =
        std::min({static_cast<std::size_t>(jobs > 0 ? jobs : Processors()), pages.size(),
                  ThreadsTheDescriptorsAllow(m_Outputs.size())});
    std::atomic<std::size_t> next = 0;
    std::atomic<std::size_t> written = 0;
    std::atomic<std::size_t> unchanged = 0;
    {
        std::vector<std::jthread> helpers;
        for (std::size_t i = 1; i < threads; ++i) {
            try {
                helpers.emplace_back(
                    [&] { ConvertPages(pages, site, next, report, written, unchanged); });
            } catch (const std::system_error&) {
                break; // the threads started share the pages among them
            }
        }
        ConvertPages(pages, site, next, report, written, unchanged);
    }
    return {written, unchanged};
}

BatchConverter::Removal BatchConverter::RemoveScripts(const std::string& name) const {
    Removal removal;
    for (const BatchOutput& output : m_Outputs) {
        const std::string file = ScriptNames::ScriptPath(m_Folder, name, output.Extension);
        std::string failure;
        try {
            switch (Removed(output, file)) {
            case OwnScripts::Removal::Removed:
                ++removal.Removed;
                break;
            case OwnScripts::Removal::NotOurs:
                failure = "Kept " + NameQuoting::Quoted(file) +
                          (output.Format != nullptr
                               ? ": its page is gone, but it does not open with the header "
                                 "Quillomatic writes."
                               : ": its script is gone, but a page read back bears no mark of "
                                 "who wrote it.");
                break;
            case OwnScripts::Removal::Absent:
                break;
            }
        } catch (const ComponentError& error) {
            failure = error.Description();
        }
        if (!failure.empty()) {
            removal.Failures.push_back(std::move(failure));
        }
    }
    return removal;
}

void BatchConverter::ConvertPages(const std::vector<SitePage>& pages, const PageFiles& pageFiles,
                                  std::atomic<std::size_t>& next, BatchReport& report,
                                  std::atomic<std::size_t>& written,
                                  std::atomic<std::size_t>& unchanged) const {
    // Made once: it seeds a generator of names, which costs more than a page.
    const FileSystemObject fileSystem;
    ReplacementGroup group;
    const auto commit = [&] {
        for (auto& [page, failure, placed] : group.Commit()) {
            written += placed;
            report.PageDone(page, std::move(failure));
        }
    };
    for (std::size_t page = next++; page < pages.size(); page = next++) {
        try {
            if (pages[page].Failure.empty()) {
                std::string refusals;
                std::vector<std::string> notes;
                std::size_t kept = 0;
                auto scripts =
                    WriteScripts(pages[page], pageFiles, fileSystem, refusals, notes, kept);
                unchanged += kept;
                report.PageNoted(page, std::move(notes));
                group.Add(page, std::move(scripts), std::move(refusals));
            } else {
                report.PageDone(page, pages[page].Failure);
            }
        } catch (const std::exception& error) {
            report.PageDone(page, MemoryFailure::Describe(error, pages[page].Path));
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
                             std::vector<std::string>& notes, std::size_t& unchanged) const {
    TextStream source = fileSystem.OpenTextFile(page.Path);
    if (const auto below = std::filesystem::path(page.Name).parent_path(); !below.empty()) {
        MakeFolder(std::filesystem::path(m_Folder) / below);
    }
    std::vector<std::unique_ptr<AtomicTextFile>> files;
    bool read = false;
    for (const BatchOutput& output : m_Outputs) {
        const std::string target = ScriptNames::ScriptPath(m_Folder, page.Name, output.Extension);
        if (const std::string* overwritten = pageFiles.PageAt(target)) {
            refusals += (refusals.empty() ? "" : "\n") +
                        PageFiles::Refusal(target, *overwritten).Description();
            continue;
        }
        if (std::exchange(read, true)) {
            Rewind(source);
        }
        auto file = std::make_unique<AtomicTextFile>(target);
        for (std::string& note : output.Write(page, source, file->Stream())) {
            notes.push_back(std::move(note));
        }
        if (m_Unchanged == Unchanged::Kept && file->SameAsTarget()) {
            ++unchanged; // its scratch file goes with it
            continue;
        }
        file->Complete();
        files.push_back(std::move(file));
    }
    source.Close();
    return files;
}

} // namespace quillomatic
