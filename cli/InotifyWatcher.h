// A watch that the kernel tells of each change in the site (inotify).
#pragma once

#include "SiteSnapshot.h"
#include "SiteWatcher.h"

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

struct inotify_event;

namespace quillomatic {

// Watches each folder of the site, each subfolder from the moment it is made
// or moved in, and the folder each INPUT is in, for the INPUT itself: an
// editor that saves by renaming a new file over the page leaves the old one's
// watch behind, and a folder named may be removed and made again. The output
// folder, and what is below it, is not watched. inotify sees only the changes
// made on this machine through this mount; see PollingWatcher.
class InotifyWatcher final : public SiteWatcher {
public:
    // Fails when the kernel refuses the watches, saying which limit to
    // raise; a folder refused later is told on `errors`, once.
    InotifyWatcher(WatchedSite site, std::ostream& errors);
    ~InotifyWatcher() override;

    [[nodiscard]] bool WaitForChange(std::optional<std::chrono::milliseconds> timeout) override;
    [[nodiscard]] std::set<std::string> TakeTouched() override;
    void Follow() override;

private:
    struct Watch {
        std::string Path; // as the site's pages are named, for a folder of the site
        bool IsSiteFolder = false;
        std::map<std::string, std::string> Inputs; // the INPUTs in it: name, INPUT as named
    };
    using Watches = std::map<int, Watch>;

    void WatchSite(Watches& watches);
    void WatchFolder(const std::string& path, bool named, Watches& watches);
    // The watch descriptor, or -1 when the folder cannot be watched.
    [[nodiscard]] int AddWatch(const std::string& path, bool named);
    // Reads what the kernel has to tell; true when any of it may change the site.
    [[nodiscard]] bool ReadEvents();
    [[nodiscard]] bool Handle(const inotify_event& event);

    int m_Descriptor = -1;
    WatchedSite m_Site;
    std::pair<std::uint64_t, std::uint64_t> m_OutputFolder{}; // device, inode
    std::ostream& m_Errors;
    bool m_Started = false;
    Watches m_Watches;
    std::set<std::string> m_Touched;
    std::set<std::string> m_Refused; // folders told of
};

} // namespace quillomatic
