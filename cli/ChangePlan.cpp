// What a watch does about the changes it saw: the pages to convert, the
// scripts to remove.
#include "ChangePlan.h"

#include <filesystem>
#include <map>

namespace quillomatic {
namespace {

// The watcher and the walk may spell a path differently ("site//a", "./a").
std::string Normal(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

std::set<std::string> Normal(const std::set<std::string>& paths) {
    std::set<std::string> normal;
    for (const std::string& path : paths) {
        normal.insert(Normal(path));
    }
    return normal;
}

bool IsPageOnDisk(const ScannedPage& scanned) {
    return scanned.Page.Failure.empty() && scanned.Stamp.has_value();
}

} // namespace

ChangePlan::ChangePlan(const SiteSnapshot& before, const SiteSnapshot& now,
                       const std::set<std::string>& touched, const std::set<std::string>& retried) {
    std::map<std::string, const ScannedPage*> pageBefore;
    std::set<std::pair<std::string, std::string>> failuresBefore;
    for (const ScannedPage& scanned : before.Pages()) {
        if (scanned.Page.Failure.empty()) {
            pageBefore.emplace(Normal(scanned.Page.Path), &scanned);
        } else {
            failuresBefore.emplace(scanned.Page.Path, scanned.Page.Failure);
        }
    }
    std::map<std::string, std::size_t> pagesOfName;
    for (const ScannedPage& scanned : now.Pages()) {
        pagesOfName[scanned.Page.Name] += IsPageOnDisk(scanned) ? 1u : 0u;
    }
    const std::set<std::string> seen = Normal(touched);
    const std::set<std::string> again = Normal(retried);
    std::set<std::string> clashingNames;
    for (const ScannedPage& scanned : now.Pages()) {
        const SitePage& page = scanned.Page;
        const std::string path = Normal(page.Path);
        const auto old = pageBefore.find(path);
        if (!page.Failure.empty()) {
            if (!failuresBefore.contains({page.Path, page.Failure})) {
                m_Pages.push_back(page);
            }
        } else if (!scanned.Stamp) {
            if (old == pageBefore.end()) {
                m_Pages.push_back(page);
            }
        } else if (old == pageBefore.end() || old->second->Stamp != scanned.Stamp ||
                   seen.contains(path) || again.contains(path)) {
            if (pagesOfName[page.Name] > 1) {
                clashingNames.insert(page.Name);
            } else {
                m_Pages.push_back(page);
            }
        }
    }
    for (const ScannedPage& scanned : now.Pages()) {
        if (IsPageOnDisk(scanned) && clashingNames.contains(scanned.Page.Name)) {
            m_Clashing.push_back(scanned.Page);
        }
    }

    std::vector<ScannedPage> baseline = now.Pages();
    std::set<std::string> namesKept;
    for (const ScannedPage& scanned : before.Pages()) {
        if (IsPageOnDisk(scanned) && pagesOfName[scanned.Page.Name] == 0 &&
            now.IsInUnreadableFolder(scanned.Page.Path)) {
            baseline.push_back(scanned);
            namesKept.insert(scanned.Page.Name);
        }
    }
    std::set<std::string> namesGone;
    for (const ScannedPage& scanned : before.Pages()) {
        const std::string& name = scanned.Page.Name;
        if (IsPageOnDisk(scanned) && pagesOfName[name] == 0 && !namesKept.contains(name) &&
            namesGone.insert(name).second) {
            m_GoneNames.push_back(name);
        }
    }
    m_Baseline = SiteSnapshot(std::move(baseline), now.UnreadableFolders());
}

} // namespace quillomatic
