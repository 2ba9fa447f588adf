// The arguments of quillomatic-convert.
#pragma once

#include "ScriptLanguage.h"
#include "TargetFormat.h"

#include <chrono>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillomatic {

// quillomatic-convert --to FORMATS [--output FILE | --output-dir DIR]
//                     [--line-ends crlf|lf] [--jobs N] [INPUT...]
// quillomatic-convert --watch [--debounce MS] [--poll MS] --to FORMATS --output-dir DIR ...
// quillomatic-convert --to html [--from FORMAT] [--strict] [--output FILE |
//                     --output-dir DIR] [--jobs N] [SCRIPT...]
//
// Read by getopt_long, so the GNU conventions hold: options and pages in any
// order, "-tphp", "--to=php", long options shortened while unambiguous, and
// "--" before a page whose name starts with a dash. The combinations that
// cannot work are refused here, before anything is read or written.
class CommandLine {
public:
    // Wrong arguments; what() says what is wrong.
    class UsageError : public std::invalid_argument {
        using std::invalid_argument::invalid_argument;
    };

    // Reads the arguments after the program name.
    [[nodiscard]] static CommandLine Parse(std::span<const char* const> arguments);
    [[nodiscard]] static std::string Usage();

    [[nodiscard]] bool WantsHelp() const noexcept { return m_WantsHelp; }
    [[nodiscard]] bool WantsVersion() const noexcept { return m_WantsVersion; }
    // Each format once, in the order named; "all" names the five in toolbar order.
    [[nodiscard]] const std::vector<const TargetFormat*>& Formats() const noexcept {
        return m_Formats;
    }
    // The pages and folders of pages; none for standard input.
    [[nodiscard]] const std::vector<std::string>& InputPaths() const noexcept {
        return m_InputPaths;
    }
    // Empty for standard output.
    [[nodiscard]] const std::string& OutputPath() const noexcept { return m_OutputPath; }
    // The folder the scripts of a batch go to; empty for one page in one format.
    [[nodiscard]] const std::string& OutputFolder() const noexcept { return m_OutputFolder; }
    [[nodiscard]] LineEnds ScriptLineEnds() const noexcept { return m_LineEnds; }
    // Pages converted side by side; 0 when not given, for one per processor.
    [[nodiscard]] unsigned Jobs() const noexcept { return m_Jobs; }
    // After the batch, convert again what changes (see SiteWatch).
    [[nodiscard]] bool Watches() const noexcept { return m_Watches; }
    // The quiet a watch waits for after a change.
    [[nodiscard]] std::chrono::milliseconds Debounce() const noexcept { return m_Debounce; }
    // How often a watch looks at the site; 0 when the kernel tells it instead.
    [[nodiscard]] std::chrono::milliseconds PollInterval() const noexcept { return m_PollInterval; }
    // --to html: the INPUTs are scripts, read back into the HTML they print.
    [[nodiscard]] bool ToHtml() const noexcept { return m_ToHtml; }
    // --from: the scripts' language; nullptr to tell it by each name.
    [[nodiscard]] const ScriptLanguage* FromLanguage() const noexcept { return m_From; }
    // --strict: a report line is a failure.
    [[nodiscard]] bool Strict() const noexcept { return m_Strict; }

private:
    // Refuses what the options allow one by one but not together.
    void CheckCombination() const;

    bool m_WantsHelp = false;
    bool m_WantsVersion = false;
    std::vector<const TargetFormat*> m_Formats;
    std::vector<std::string> m_InputPaths;
    std::string m_OutputPath;
    std::string m_OutputFolder;
    LineEnds m_LineEnds = LineEnds::CRLF;
    unsigned m_Jobs = 0;
    bool m_Watches = false;
    std::chrono::milliseconds m_Debounce{100};
    bool m_DebounceGiven = false;
    std::chrono::milliseconds m_PollInterval{0};
    bool m_ToHtml = false;
    const ScriptLanguage* m_From = nullptr;
    bool m_Strict = false;
};

} // namespace quillomatic
