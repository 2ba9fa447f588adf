// quillomatic-convert --watch: a site's scripts kept up to date while its
// pages are edited.
#pragma once

#include "BatchConverter.h"
#include "ChangePlan.h"
#include "CommandLine.h"
#include "SiteSnapshot.h"
#include "SiteWatcher.h"

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace quillomatic {

// First converts every page, as a batch does; then, each time the site has
// been quiet for the debounce time after a change (see SiteWatcher), it
// looks at the site again and converts what changed, removes the scripts of
// pages that went (see ChangePlan), and tells it on one line. Every run goes
// through the batch's path (BatchConverter): each script replaced whole, a
// page that fails reported and the others converted, a signal ending the
// process without a scratch file left (SignalCleanup). Unlike a batch, a
// script whose file already holds its bytes is kept as it is, and pages that
// clash are reported and retried rather than ending the run.
class SiteWatch {
public:
    // Fails, before anything is written, as a batch does, and when the kernel
    // refuses to watch the site.
    SiteWatch(const CommandLine& commandLine, std::ostream& errors, bool onTerminal);

    // Runs until a signal ends the process; returns only by an exception.
    [[noreturn]] void Run();

private:
    void ConvertChanges();
    // Converts the plan's pages, adding the names of those converted to
    // `converted` and counting those that failed in `failed`.
    BatchConverter::Totals ConvertPages(const ChangePlan& plan, const SiteSnapshot& now,
                                        std::vector<std::string>& converted, std::size_t& failed);

    const CommandLine& m_CommandLine;
    std::ostream& m_Errors;
    bool m_OnTerminal;
    WatchedSite m_Site;
    BatchConverter m_Converter;
    std::string m_ClashExtension; // of the first file of a page: where two pages' names meet
    std::unique_ptr<SiteWatcher> m_Watcher;
    SiteSnapshot m_Baseline;
    std::set<std::string> m_Retried; // pages that failed last time, by path
};

} // namespace quillomatic
