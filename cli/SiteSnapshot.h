// The pages of a watched site as they are on disk at one moment.
#pragma once

#include "SitePages.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillomatic {

// What tells one state of a page's file from the next: a save changes the
// size or the times, a save by rename the inode, a chmod the change time.
struct PageStamp {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t Modified = 0; // nanoseconds
    std::int64_t Changed = 0;  // nanoseconds
    std::uint32_t Mode = 0;

    friend bool operator==(const PageStamp&, const PageStamp&) = default;
};

struct ScannedPage {
    SitePage Page;
    // Nothing for a page named that does not exist (it went away, or is yet
    // to come); a page that cannot be looked at has an empty stamp.
    std::optional<PageStamp> Stamp;
};

// What a watch watches: the INPUTs, the output folder (left out of them),
// and the extensions of the files that are pages there.
struct WatchedSite {
    std::vector<std::string> Inputs;
    std::string OutputFolder;
    std::vector<std::string> PageExtensions;
};

// The pages of the INPUTs in the order SitePages gives them, each with its
// stamp, and the folders that could not be read (whose pages are not known
// now, rather than gone).
class SiteSnapshot {
public:
    SiteSnapshot() = default;
    SiteSnapshot(std::vector<ScannedPage> pages, std::vector<std::string> unreadableFolders);

    // Walks the site's INPUTs now (see SitePages), leaving out its output folder.
    [[nodiscard]] static SiteSnapshot Take(const WatchedSite& site);

    [[nodiscard]] const std::vector<ScannedPage>& Pages() const noexcept { return m_Pages; }
    [[nodiscard]] const std::vector<std::string>& UnreadableFolders() const noexcept {
        return m_UnreadableFolders;
    }
    // Whether `path` is in one of the unreadable folders, at any depth.
    [[nodiscard]] bool IsInUnreadableFolder(const std::string& path) const;

    friend bool operator==(const SiteSnapshot& a, const SiteSnapshot& b);

private:
    std::vector<ScannedPage> m_Pages;
    std::vector<std::string> m_UnreadableFolders;
};

} // namespace quillomatic
