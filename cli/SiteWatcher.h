// What a watch waits on: the kernel's word that a site changed, or a look.
#pragma once

#include <chrono>
#include <optional>
#include <set>
#include <string>

namespace quillomatic {

// Tells a watch that something in its site may have changed: a page
// written, created, moved in or out, renamed, deleted or given other
// permissions, a folder made or removed. Editors' files and whatever is not a
// page start nothing (see PageNames), nor does anything in the output folder.
// The watch itself finds what changed (see ChangePlan); a watcher may be told
// of changes that come to nothing.
class SiteWatcher {
public:
    virtual ~SiteWatcher() = default;
    SiteWatcher() = default;
    SiteWatcher(const SiteWatcher&) = delete;
    SiteWatcher& operator=(const SiteWatcher&) = delete;

    // Waits up to `timeout`, without one for as long as it takes, for a
    // change; true when one came.
    [[nodiscard]] virtual bool WaitForChange(std::optional<std::chrono::milliseconds> timeout) = 0;
    // The pages that changes were seen on since the last call, by path.
    [[nodiscard]] virtual std::set<std::string> TakeTouched() = 0;
    // Follows the site's folders again as they are now, before the watch
    // looks at them: folders renamed, moved in or out, made or removed.
    virtual void Follow() = 0;
};

} // namespace quillomatic
