// What a batch tells the user on standard error while it runs.
#pragma once

#include "ProgressLine.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace quillomatic {

// A line "quillomatic-convert: REASON" for each page that failed, and the
// report lines of a page read back from a script as they are, in the order
// the pages were given whatever order they finish in, so that the report does
// not depend on how many pages were converted side by side. On a terminal,
// once the batch has run longer than `progressDelay`, the progress line too,
// kept below the failure lines and cleared by Finish(). Pages may be reported
// from any thread.
class BatchReport {
public:
    BatchReport(std::size_t pages, std::ostream& errors, bool onTerminal,
                std::chrono::milliseconds progressDelay = std::chrono::seconds(1));
    ~BatchReport();
    BatchReport(const BatchReport&) = delete;
    BatchReport& operator=(const BatchReport&) = delete;

    // Page `index` (counted from 0) is done: converted if `failure` is empty,
    // else `failure` says why not, a line for each reason.
    void PageDone(std::size_t index, std::string failure);
    // Page `index` has report lines, written before its failure, if any.
    void PageNoted(std::size_t index, std::vector<std::string> notes);
    [[nodiscard]] bool AnyNoted() const;
    // Ends the progress line; call once every page is done.
    void Finish();
    [[nodiscard]] bool AllConverted() const;
    // Page `index` is done and converted.
    [[nodiscard]] bool Converted(std::size_t index) const;

private:
    void ShowProgress();

    mutable std::mutex m_Mutex;
    std::condition_variable m_Finishing;
    std::ostream& m_Errors;
    ProgressLine m_Progress;
    // Under m_Mutex:
    std::vector<std::optional<std::string>> m_Failures; // "" for a page converted
    std::vector<bool> m_Converted;
    std::vector<std::vector<std::string>> m_Notes;
    bool m_AnyNoted = false;
    std::size_t m_Written = 0; // pages before this one are written out
    std::size_t m_Done = 0;
    bool m_AnyFailed = false;
    bool m_Finished = false;
    std::chrono::milliseconds m_ProgressDelay;
    std::thread m_ProgressThread; // only on a terminal
};

} // namespace quillomatic
