// quillomatic-convert --watch: a site's scripts kept up to date while its
// pages are edited.
#include "SiteWatch.h"

#include "BatchOutputs.h"
#include "BatchReport.h"
#include "ChangePlan.h"
#include "InotifyWatcher.h"
#include "NameQuoting.h"
#include "PageFiles.h"
#include "PollingWatcher.h"

#include <array>
#include <chrono>
#include <ctime>
#include <filesystem>

namespace quillomatic {
namespace {

// Names enough to recognise a run by, few enough for one line.
constexpr std::size_t kNamesShown = 3;

std::string Counted(std::size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The page as its site names it: "blog/post.html" in the folder named.
std::string ShownName(const SitePage& page) {
    const std::filesystem::path folder = std::filesystem::path(page.Name).parent_path();
    return (folder / std::filesystem::path(page.Path).filename()).string();
}

std::string LocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::array<char, 16> text{};
    return {text.data(), std::strftime(text.data(), text.size(), "%H:%M:%S", &local)};
}

// "12:04:31 converted 3 pages (about.html, index.html, blog/post.html): 15
// scripts written, 0 removed, 0 unchanged, 4 ms"
std::string LogLine(const std::vector<std::string>& converted, std::size_t failed,
                    const BatchConverter::Totals& totals, std::size_t removed,
                    std::chrono::milliseconds taken) {
    std::string line = LocalTime() + " converted " + Counted(converted.size(), "page", "pages");
    for (std::size_t i = 0; i < converted.size() && i < kNamesShown; ++i) {
        line += (i == 0 ? " (" : ", ") + NameQuoting::Printable(converted[i]);
    }
    if (converted.size() > kNamesShown) {
        line += " and " + std::to_string(converted.size() - kNamesShown) + " more";
    }
    line += converted.empty() ? ": " : "): ";
    line += Counted(totals.Written, "script", "scripts") + " written, " + std::to_string(removed) +
            " removed, " + std::to_string(totals.Unchanged) + " unchanged, ";
    if (failed > 0) {
        line += Counted(failed, "page", "pages") + " failed, ";
    }
    return line + std::to_string(taken.count()) + " ms";
}

std::unique_ptr<SiteWatcher> WatcherFor(const CommandLine& commandLine, const WatchedSite& site,
                                        std::ostream& errors) {
    if (commandLine.PollInterval().count() > 0) {
        return std::make_unique<PollingWatcher>(site, commandLine.PollInterval());
    }
    return std::make_unique<InotifyWatcher>(site, errors);
}

} // namespace

SiteWatch::SiteWatch(const CommandLine& commandLine, std::ostream& errors, bool onTerminal)
    : m_CommandLine(commandLine), m_Errors(errors), m_OnTerminal(onTerminal),
      m_Site{commandLine.InputPaths(), commandLine.OutputFolder(),
             BatchOutputs::PageExtensionsOf(commandLine)},
      m_Converter(BatchOutputs::Of(commandLine), commandLine.OutputFolder(),
                  BatchConverter::Unchanged::Kept),
      m_ClashExtension(BatchOutputs::Of(commandLine).front().Extension),
      // Watching starts before the first run looks at the site, so that
      // nothing saved meanwhile goes unseen.
      m_Watcher(WatcherFor(commandLine, m_Site, errors)) {}

void SiteWatch::Run() {
    ConvertChanges();
    for (;;) {
        (void)m_Watcher->WaitForChange(std::nullopt);
        while (m_Watcher->WaitForChange(m_CommandLine.Debounce())) {
        }
        ConvertChanges();
    }
}

void SiteWatch::ConvertChanges() {
    const auto start = std::chrono::steady_clock::now();
    m_Watcher->Follow();
    const std::set<std::string> touched = m_Watcher->TakeTouched();
    const SiteSnapshot now = SiteSnapshot::Take(m_Site);
    const ChangePlan plan(m_Baseline, now, touched, m_Retried);
    m_Baseline = plan.Baseline();
    if (plan.IsEmpty()) {
        return; // a change that came to nothing: a folder made, a page saved and put back
    }

    for (const std::string& clash :
         SitePages::Clashes(plan.Clashing(), m_CommandLine.OutputFolder(), m_ClashExtension)) {
        m_Errors << "quillomatic-convert: " << clash << "\n";
    }
    std::size_t failed = plan.Clashing().size();
    for (const SitePage& page : plan.Clashing()) {
        m_Retried.insert(page.Path);
    }

    std::vector<std::string> converted;
    const BatchConverter::Totals totals =
        plan.Pages().empty() ? BatchConverter::Totals{} : ConvertPages(plan, now, converted, failed);

    std::size_t removed = 0;
    for (const std::string& name : plan.GoneNames()) {
        const BatchConverter::Removal removal = m_Converter.RemoveScripts(name);
        removed += removal.Removed;
        for (const std::string& failure : removal.Failures) {
            m_Errors << "quillomatic-convert: " << failure << "\n";
        }
    }
    const auto taken = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    m_Errors << LogLine(converted, failed, totals, removed, taken) << "\n" << std::flush;
}

BatchConverter::Totals SiteWatch::ConvertPages(const ChangePlan& plan, const SiteSnapshot& now,
                                               std::vector<std::string>& converted,
                                               std::size_t& failed) {
    // No script is written over any page of the site, converted this time or not.
    std::vector<std::string> sitePages;
    for (const ScannedPage& scanned : now.Pages()) {
        if (scanned.Page.Failure.empty()) {
            sitePages.push_back(scanned.Page.Path);
        }
    }
    BatchReport report(plan.Pages().size(), m_Errors, m_OnTerminal);
    const BatchConverter::Totals totals =
        m_Converter.Run(plan.Pages(), PageFiles(sitePages), m_CommandLine.Jobs(), report);
    report.Finish();
    for (std::size_t i = 0; i < plan.Pages().size(); ++i) {
        const SitePage& page = plan.Pages()[i];
        if (!page.Failure.empty()) {
            continue; // a folder's failure, told already
        }
        if (report.Converted(i)) {
            converted.push_back(ShownName(page));
            m_Retried.erase(page.Path);
        } else {
            ++failed;
            m_Retried.insert(page.Path);
        }
    }
    return totals;
}

} // namespace quillomatic
