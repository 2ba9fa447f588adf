// A watch that looks at the site at fixed intervals, where the kernel cannot tell.
#include "PollingWatcher.h"

#include <thread>

namespace quillomatic {

PollingWatcher::PollingWatcher(WatchedSite site, std::chrono::milliseconds interval)
    : m_Site(std::move(site)), m_Interval(interval), m_LastLook(std::chrono::steady_clock::now()),
      m_LastSeen(SiteSnapshot::Take(m_Site)) {}

bool PollingWatcher::WaitForChange(std::optional<std::chrono::milliseconds> timeout) {
    const auto deadline = timeout ? std::chrono::steady_clock::now() + *timeout
                                  : std::chrono::steady_clock::time_point::max();
    for (;;) {
        const auto nextLook = m_LastLook + m_Interval;
        if (nextLook > deadline) {
            std::this_thread::sleep_until(deadline);
            return false;
        }
        std::this_thread::sleep_until(nextLook);
        m_LastLook = std::chrono::steady_clock::now();
        SiteSnapshot seen = SiteSnapshot::Take(m_Site);
        if (!(seen == m_LastSeen)) {
            m_LastSeen = std::move(seen);
            return true;
        }
    }
}

} // namespace quillomatic
