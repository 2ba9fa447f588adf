// The pages of a batch: the files named, and the pages of the folders named.
#include "SitePages.h"

#include "FileError.h"
#include "ScriptNames.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <strings.h>
#include <sys/stat.h>

namespace quillomatic {
namespace {

namespace fs = std::filesystem;

bool EndsWithIgnoringCase(const std::string& name, const std::string& ending) {
    return name.size() > ending.size() &&
           ::strcasecmp(name.c_str() + (name.size() - ending.size()), ending.c_str()) == 0;
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
        line += "\"" + paths[i] + "\"";
    }
    return line + (paths.size() == 2 ? " would both" : " would all") + " be written as " + script;
}

} // namespace

SitePages::SitePages(const std::vector<std::string>& inputs, std::vector<std::string> extensions)
    : m_Extensions(std::move(extensions)) {
    for (const std::string& input : inputs) {
        std::error_code ignored;
        if (!fs::is_directory(input, ignored)) {
            AddPage(input, ScriptNames::PageName(input));
        } else if (AddFolder(input, "") == 0) {
            AddFailure(input, "Cannot convert \"" + input + "\": no file in it ends in " +
                                  ExtensionList(m_Extensions) + ".");
        }
    }
}

bool SitePages::IsPageName(const std::string& name) const {
    return std::ranges::any_of(m_Extensions, [&name](const std::string& extension) {
        return EndsWithIgnoringCase(name, "." + extension);
    });
}

std::vector<std::string> SitePages::Clashes(const std::string& folder,
                                            std::string_view extension) const {
    std::map<std::string, std::vector<std::string>> pathsOfName;
    for (const SitePage& page : m_Pages) {
        if (page.Failure.empty()) {
            pathsOfName[page.Name].push_back(page.Path);
        }
    }
    std::vector<std::string> clashes;
    for (const SitePage& page : m_Pages) {
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
        if (!entry->path().filename().string().starts_with('.')) {
            entries.push_back(*entry);
        }
    }
    if (error) {
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
            found += AddFolder(entry.path().string(), prefix + name + "/");
        } else if (entry.is_regular_file(ignored) && IsPageName(name)) {
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
