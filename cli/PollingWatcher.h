// A watch that looks at the site at fixed intervals, where the kernel cannot tell.
#pragma once

#include "SiteSnapshot.h"
#include "SiteWatcher.h"

#include <chrono>
#include <string>
#include <vector>

namespace quillomatic {

// On a network or container mount, inotify hears only the changes made on
// this machine through this mount. Instead, every `interval` the site is
// walked again (see SiteSnapshot) and compared with the last look.
class PollingWatcher final : public SiteWatcher {
public:
    PollingWatcher(WatchedSite site, std::chrono::milliseconds interval);

    [[nodiscard]] bool WaitForChange(std::optional<std::chrono::milliseconds> timeout) override;
    [[nodiscard]] std::set<std::string> TakeTouched() override { return {}; }
    void Follow() override {}

private:
    WatchedSite m_Site;
    std::chrono::milliseconds m_Interval;
    std::chrono::steady_clock::time_point m_LastLook;
    SiteSnapshot m_LastSeen;
};

} // namespace quillomatic
