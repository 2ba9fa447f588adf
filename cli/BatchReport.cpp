// What a batch tells the user on standard error while it runs.
#include "BatchReport.h"

#include <string_view>

namespace quillomatic {
namespace {

// Often enough to look alive, seldom enough to cost nothing.
constexpr std::chrono::milliseconds kRedrawInterval(100);

// "quillomatic-convert: " before each reason of a page's failure.
std::string Lines(std::string_view failure) {
    std::string lines;
    for (;;) {
        const std::size_t end = failure.find('\n');
        lines += "quillomatic-convert: ";
        lines += failure.substr(0, end);
        lines += '\n';
        if (end == std::string_view::npos) {
            return lines;
        }
        failure.remove_prefix(end + 1);
    }
}

} // namespace

BatchReport::BatchReport(std::size_t pages, std::ostream& errors, bool onTerminal,
                         std::chrono::milliseconds progressDelay)
    : m_Errors(errors), m_Progress(errors), m_Failures(pages), m_Converted(pages), m_Notes(pages),
      m_ProgressDelay(progressDelay) {
    if (onTerminal) {
        m_ProgressThread = std::thread(&BatchReport::ShowProgress, this);
    }
}

BatchReport::~BatchReport() {
    Finish();
}

void BatchReport::PageDone(std::size_t index, std::string failure) {
    const std::lock_guard lock(m_Mutex);
    m_AnyFailed = m_AnyFailed || !failure.empty();
    m_Converted[index] = failure.empty();
    m_Failures[index] = std::move(failure);
    ++m_Done;
    while (m_Written < m_Failures.size() && m_Failures[m_Written]) {
        std::vector<std::string> notes = std::move(m_Notes[m_Written]);
        std::string& written = *m_Failures[m_Written++];
        if (!written.empty() || !notes.empty()) {
            const bool progressShown = m_Progress.IsShown();
            m_Progress.Clear();
            for (const std::string& note : notes) {
                m_Errors << note << '\n';
            }
            m_Errors << (written.empty() ? std::string() : Lines(written)) << std::flush;
            if (progressShown) {
                m_Progress.Show(m_Done, m_Failures.size());
            }
            written = std::string();
        }
    }
}

void BatchReport::PageNoted(std::size_t index, std::vector<std::string> notes) {
    const std::lock_guard lock(m_Mutex);
    m_AnyNoted = m_AnyNoted || !notes.empty();
    m_Notes[index] = std::move(notes);
}

bool BatchReport::AnyNoted() const {
    const std::lock_guard lock(m_Mutex);
    return m_AnyNoted;
}

void BatchReport::Finish() {
    {
        const std::lock_guard lock(m_Mutex);
        m_Finished = true;
    }
    m_Finishing.notify_all();
    if (m_ProgressThread.joinable()) {
        m_ProgressThread.join();
    }
    const std::lock_guard lock(m_Mutex);
    m_Progress.Clear();
}

bool BatchReport::AllConverted() const {
    const std::lock_guard lock(m_Mutex);
    return !m_AnyFailed;
}

bool BatchReport::Converted(std::size_t index) const {
    const std::lock_guard lock(m_Mutex);
    return m_Converted[index];
}

void BatchReport::ShowProgress() {
    std::unique_lock lock(m_Mutex);
    // A short batch ends before this: a line that flashes up and vanishes
    // would only distract.
    if (m_Finishing.wait_for(lock, m_ProgressDelay, [this] { return m_Finished; })) {
        return;
    }
    std::optional<std::size_t> shown;
    while (!m_Finished) {
        if (shown != m_Done) {
            m_Progress.Show(m_Done, m_Failures.size());
            shown = m_Done;
        }
        m_Finishing.wait_for(lock, kRedrawInterval, [this] { return m_Finished; });
    }
}

} // namespace quillomatic
