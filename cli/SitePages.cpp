// The pages of a batch: the files named, and the pages of the folders named.
#include "SitePages.h"

#include "FileError.h"
#include "NameQuoting.h"
#include "PageNames.h"
#include "ScriptNames.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace quillomatic {
namespace {

namespace fs = std::filesystem;

// The file a path leads to, the same for every path to it; a path that leads
// nowhere stands for itself.
std::string FileIdentity(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        return "file " + std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
    }
    return "path " + fs::path(path).lexically_normal().string();
}

// "a" and "b" would both be written as SCRIPT; with more pages, "a", "b" and
// "c" would all be.
std::string ClashLine(const std::vector<std::string>& paths, const std::string& script) {
    std::string line;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        line += i == 0 ? "" : i + 1 == paths.size() ? " and " : ", ";
        line += NameQuoting::Quoted(paths[i]);
    }
    return line + (paths.size() == 2 ? " would both" : " would all") + " be written as " + script;
}

// ".html or .htm"
std::string ExtensionList(const std::vector<std::string>& extensions) {
    std::string list;
    for (std::size_t i = 0; i < extensions.size(); ++i) {
        list += i == 0 ? "" : i + 1 == extensions.size() ? " or " : ", ";
        list += "." + extensions[i];
    }
    return list;
}

} // namespace

SitePages::SitePages(const std::vector<std::string>& inputs, std::vector<std::string> extensions,
                     const std::string& leftOutFolder)
    : m_Extensions(std::move(extensions)) {
    struct stat status {};
    if (!leftOutFolder.empty() && ::stat(leftOutFolder.c_str(), &status) == 0) {
        m_LeftOut = {status.st_dev, status.st_ino};
    }
    for (const std::string& input : inputs) {
        std::error_code ignored;
        if (!fs::is_directory(input, ignored)) {
            AddPage(input, ScriptNames::PageName(input));
        } else if (AddFolder(input, "") == 0) {
            AddFailure(input, "Cannot convert " + NameQuoting::Quoted(input) +
                                  ": no file in it ends in " + ExtensionList(m_Extensions) + ".");
        }
    }
}

std::vector<std::string> SitePages::Clashes(const std::string& folder,
                                            std::string_view extension) const {
    return Clashes(m_Pages, folder, extension);
}

std::vector<std::string> SitePages::Clashes(const std::vector<SitePage>& pages,
                                            const std::string& folder, std::string_view extension) {
    std::map<std::string, std::vector<std::string>> pathsOfName;
    for (const SitePage& page : pages) {
        if (page.Failure.empty()) {
            pathsOfName[page.Name].push_back(page.Path);
        }
    }
    std::vector<std::string> clashes;
    for (const SitePage& page : pages) {
        const auto named = pathsOfName.find(page.Name);
        if (!page.Failure.empty() || named == pathsOfName.end()) {
            continue;
        }
        if (named->second.size() > 1) {
            clashes.push_back(
                ClashLine(named->second, ScriptNames::ScriptPath(folder, page.Name, extension)));
        }
        pathsOfName.erase(named);
    }
    return clashes;
}

std::size_t SitePages::AddFolder(const std::string& path, const std::string& prefix) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    for (fs::directory_iterator entry(path, error), end; !error && entry != end;
         entry.increment(error)) {
        if (!PageNames::IsLeftOut(entry->path().filename().string())) {
            entries.push_back(*entry);
        }
    }
    if (error) {
        // A folder that went away meanwhile has lost its pages.
        if (error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory) {
            m_UnreadableFolders.push_back(path);
        }
        AddFailure(
            path, FileError::FromErrno(error.value(), FileError::Action::Open, path).Description());
        return 1;
    }
    std::ranges::sort(entries, [](const fs::directory_entry& a, const fs::directory_entry& b) {
        return a.path().filename().native() < b.path().filename().native();
    });
    std::size_t found = 0;
    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        std::error_code ignored;
        if (!entry.is_symlink(ignored) && entry.is_directory(ignored)) {
            struct stat status {};
            if (m_LeftOut.second == 0 || ::stat(entry.path().c_str(), &status) != 0 ||
                m_LeftOut !=
                    std::pair<std::uint64_t, std::uint64_t>(status.st_dev, status.st_ino)) {
                found += AddFolder(entry.path().string(), prefix + name + "/");
            }
        } else if (entry.is_regular_file(ignored) && PageNames::IsPageName(name, m_Extensions)) {
            AddPage(entry.path().string(), prefix + ScriptNames::PageName(name));
            ++found;
        }
    }
    return found;
}

void SitePages::AddPage(const std::string& path, const std::string& name) {
    if (m_Taken.emplace(name, FileIdentity(path)).second) {
        m_Pages.push_back({path, name, {}});
    }
}

void SitePages::AddFailure(const std::string& path, const std::string& failure) {
    m_Pages.push_back({path, {}, failure});
}

} // namespace quillomatic
