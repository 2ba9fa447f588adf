// What a watch does about the changes it saw: the pages to convert, the
// scripts to remove.
#pragma once

#include "SiteSnapshot.h"

#include <set>
#include <string>
#include <vector>

namespace quillomatic {

// Compares the site as it was at the last run (`before`) with the site now.
// A page is converted when it is new, when its stamp differs, when a change
// was seen on it (`touched`: a save within the time stamps' granularity
// leaves the stamp as it was) or when it failed last time (`retried`), so
// that a page converts again once the cause is gone. A folder's failure is
// told once, when it appears. When a page goes away (deleted, moved out,
// renamed) and no page of the site has its name any more, its scripts go,
// except for a page in a folder that cannot be read now: that one is not
// known to be gone, and stays in the baseline. Pages that would be converted
// but share their name (the place of their scripts) with another page are
// not converted: the clash is told, and each of them is retried.
class ChangePlan {
public:
    ChangePlan(const SiteSnapshot& before, const SiteSnapshot& now,
               const std::set<std::string>& touched, const std::set<std::string>& retried);

    // The pages to convert, in the site's order, with the folders' new
    // failures; and, in a site seen for the first time, the pages named that
    // do not exist, to be reported as the batch reports them.
    [[nodiscard]] const std::vector<SitePage>& Pages() const noexcept { return m_Pages; }
    // Pages left out because they share their name with another page.
    [[nodiscard]] const std::vector<SitePage>& Clashing() const noexcept { return m_Clashing; }
    // The names (see SitePage) whose scripts go, each once.
    [[nodiscard]] const std::vector<std::string>& GoneNames() const noexcept { return m_GoneNames; }
    // What the next plan compares with.
    [[nodiscard]] const SiteSnapshot& Baseline() const noexcept { return m_Baseline; }
    [[nodiscard]] bool IsEmpty() const noexcept {
        return m_Pages.empty() && m_Clashing.empty() && m_GoneNames.empty();
    }

private:
    std::vector<SitePage> m_Pages;
    std::vector<SitePage> m_Clashing;
    std::vector<std::string> m_GoneNames;
    SiteSnapshot m_Baseline;
};

} // namespace quillomatic
