// quillomatic-convert --output-dir: many pages into many formats in one run.
#include "BatchConverter.h"

#include "BatchReport.h"
#include "Converter.h"
#include "FileError.h"
#include "NameQuoting.h"
#include "FileSystemObject.h"
#include "MemoryFailure.h"
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

} // namespace

BatchConverter::BatchConverter(std::vector<const TargetFormat*> formats, std::string folder,
                               LineEnds lineEnds, Unchanged unchanged)
    : m_Formats(std::move(formats)), m_Folder(std::move(folder)), m_LineEnds(lineEnds),
      m_Unchanged(unchanged) {
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
        throw std::runtime_error("the output folder " + NameQuoting::Quoted(m_Folder) + " is not a folder");
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
                  ThreadsTheDescriptorsAllow(m_Formats.size())});
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
    for (const TargetFormat* format : m_Formats) {
        const std::string script = ScriptNames::ScriptPath(m_Folder, name, *format);
        std::string failure;
        try {
            switch (OwnScripts::RemoveIfOurs(script, *format)) {
            case OwnScripts::Removal::Removed:
                ++removal.Removed;
                break;
            case OwnScripts::Removal::NotOurs:
                failure = "Kept " + NameQuoting::Quoted(script) +
                          ": its page is gone, but it does not open with the header "
                          "Quillomatic writes.";
                break;
            case OwnScripts::Removal::Absent:
                break;
            }
        } catch (const ComponentError& error) {
            failure = error.Description();
        }
        if (!failure.empty()) {
            removal.Failure += (removal.Failure.empty() ? "" : "\n") + failure;
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
                std::size_t kept = 0;
                auto scripts = WriteScripts(pages[page], pageFiles, fileSystem, refusals, kept);
                unchanged += kept;
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
                             std::size_t& unchanged) const {
    TextStream source = fileSystem.OpenTextFile(page.Path);
    if (const auto below = std::filesystem::path(page.Name).parent_path(); !below.empty()) {
        MakeFolder(std::filesystem::path(m_Folder) / below);
    }
    std::vector<std::unique_ptr<AtomicTextFile>> scripts;
    bool read = false;
    for (const TargetFormat* format : m_Formats) {
        const std::string target = ScriptNames::ScriptPath(m_Folder, page.Name, *format);
        if (const std::string* overwritten = pageFiles.PageAt(target)) {
            refusals += (refusals.empty() ? "" : "\n") +
                        PageFiles::Refusal(target, *overwritten).Description();
            continue;
        }
        if (std::exchange(read, true)) {
            Rewind(source);
        }
        auto script = std::make_unique<AtomicTextFile>(target);
        Converter::ConvertToStream(*format, source, script->Stream(), m_LineEnds);
        if (m_Unchanged == Unchanged::Kept && script->SameAsTarget()) {
            ++unchanged; // its scratch file goes with it
            continue;
        }
        script->Complete();
        scripts.push_back(std::move(script));
    }
    source.Close();
    return scripts;
}

} // namespace quillomatic
