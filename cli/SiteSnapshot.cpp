// The pages of a watched site as they are on disk at one moment.
#include "SiteSnapshot.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace quillomatic {
namespace {

std::int64_t Nanoseconds(const timespec& time) {
    return std::int64_t(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

std::optional<PageStamp> StampOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::nullopt;
        }
        return PageStamp{};
    }
    return PageStamp{status.st_dev,
                     status.st_ino,
                     status.st_size,
                     Nanoseconds(status.st_mtim),
                     Nanoseconds(status.st_ctim),
                     status.st_mode};
}

bool SamePage(const ScannedPage& a, const ScannedPage& b) {
    return a.Page.Path == b.Page.Path && a.Page.Name == b.Page.Name &&
           a.Page.Failure == b.Page.Failure && a.Stamp == b.Stamp;
}

} // namespace

SiteSnapshot::SiteSnapshot(std::vector<ScannedPage> pages,
                           std::vector<std::string> unreadableFolders)
    : m_Pages(std::move(pages)), m_UnreadableFolders(std::move(unreadableFolders)) {}

SiteSnapshot SiteSnapshot::Take(const WatchedSite& watched) {
    std::vector<ScannedPage> pages;
    const SitePages site(watched.Inputs, watched.PageExtensions, watched.OutputFolder);
    for (const SitePage& page : site.Pages()) {
        pages.push_back(
            {page, page.Failure.empty() ? StampOf(page.Path) : std::optional<PageStamp>()});
    }
    return {std::move(pages), site.UnreadableFolders()};
}

bool SiteSnapshot::IsInUnreadableFolder(const std::string& path) const {
    const std::filesystem::path page = std::filesystem::path(path).lexically_normal();
    for (const std::string& folder : m_UnreadableFolders) {
        const std::filesystem::path below =
            page.lexically_relative(std::filesystem::path(folder).lexically_normal());
        if (!below.empty() && *below.begin() != "..") {
            return true;
        }
    }
    return false;
}

bool operator==(const SiteSnapshot& a, const SiteSnapshot& b) {
    return a.m_UnreadableFolders == b.m_UnreadableFolders &&
           std::equal(a.m_Pages.begin(), a.m_Pages.end(), b.m_Pages.begin(), b.m_Pages.end(),
                      SamePage);
}

} // namespace quillomatic
