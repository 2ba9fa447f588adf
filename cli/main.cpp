// quillomatic-convert: the engine for build scripts, a page into a format, or
// many pages into many formats in one run.
#include "AtomicTextFile.h"
#include "BatchConverter.h"
#include "BatchOutputs.h"
#include "BatchReport.h"
#include "CommandLine.h"
#include "ComponentError.h"
#include "FileSystemObject.h"
#include "PageFiles.h"
#include "SignalCleanup.h"
#include "SitePages.h"
#include "StandardStreams.h"
#include "TextStream.h"

#include <csignal>
#include <iostream>
#include <unistd.h>

using namespace quillomatic;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The page from the named file or, with none, from standard input, which is
// converted while it is read, with nothing staged.
TextStream OpenPage(const CommandLine& commandLine) {
    if (!commandLine.InputPaths().empty()) {
        return FileSystemObject().OpenTextFile(commandLine.InputPaths().front());
    }
    return TextStream::StandardInput();
}

// What each page becomes: its scripts, or for --to html the page a script prints.
std::vector<BatchOutput> OutputsOf(const CommandLine& commandLine) {
    return commandLine.ToHtml()
               ? BatchOutputs::Pages(commandLine.FromLanguage())
               : BatchOutputs::Scripts(commandLine.Formats(), commandLine.ScriptLineEnds());
}

// The exit status of a run whose pages all went through: with --strict, a
// report line fails it.
int Succeeded(const CommandLine& commandLine, bool noted) {
    return commandLine.Strict() && noted ? kExitFailure : 0;
}

// One page into one format, or one script into its page, to standard output
// or the file the command line names. The output goes out as it is made, so
// a page of any size converts in a few megabytes.
int ConvertPage(const CommandLine& commandLine) {
    const PageFiles page(commandLine.InputPaths());
    TextStream source = OpenPage(commandLine);
    const BatchOutput output = OutputsOf(commandLine).front();
    const SitePage named{source.Path(), {}, {}};
    std::vector<std::string> notes;
    if (commandLine.OutputPath().empty()) {
        TextStream out = TextStream::StandardOutput();
        if (const std::string* overwritten = page.PageOpenAs(out.Descriptor())) {
            throw PageFiles::Refusal(out.Path(), *overwritten);
        }
        notes = output.Write(named, source, out);
        out.Close();
    } else {
        if (const std::string* overwritten = page.PageAt(commandLine.OutputPath())) {
            throw PageFiles::Refusal(commandLine.OutputPath(), *overwritten);
        }
        AtomicTextFile out(commandLine.OutputPath());
        notes = output.Write(named, source, out.Stream());
        out.Commit();
    }
    source.Close();
    for (const std::string& note : notes) {
        std::cerr << note << "\n";
    }
    return Succeeded(commandLine, !notes.empty());
}

int ConvertBatch(const CommandLine& commandLine) {
    const SitePages site = commandLine.ToHtml()
                               ? SitePages(commandLine.InputPaths(),
                                           BatchOutputs::ScriptExtensionsOf(commandLine.FromLanguage()))
                               : SitePages(commandLine.InputPaths());
    const std::vector<BatchOutput> outputs = OutputsOf(commandLine);
    // Pages that would overwrite each other's scripts are found before the
    // first is written, and all told at once: the usage would bury them.
    const std::vector<std::string> clashes =
        site.Clashes(commandLine.OutputFolder(), outputs.front().Extension);
    if (!clashes.empty()) {
        for (const std::string& clash : clashes) {
            std::cerr << "quillomatic-convert: " << clash << "\n";
        }
        std::cerr << "Try \"quillomatic-convert --help\" for more information.\n";
        return kExitUsage;
    }
    const BatchConverter converter(outputs, commandLine.OutputFolder());
    BatchReport report(site.Pages().size(), std::cerr, ::isatty(STDERR_FILENO) == 1);
    converter.Run(site.Pages(), commandLine.Jobs(), report);
    report.Finish();
    return report.AllConverted() ? Succeeded(commandLine, report.AnyNoted()) : kExitFailure;
}

} // namespace

int main(int argc, char* argv[]) {
    if (!StandardStreams::Occupy()) {
        return kExitFailure; // without /dev/null there is nowhere safe even to say so
    }
    SignalCleanup::Install();
    // Past a file size limit, let the write fail and be reported rather than
    // have the signal end the program with a scratch file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    CommandLine commandLine;
    try {
        commandLine = CommandLine::Parse({argv + 1, static_cast<std::size_t>(argc - 1)});
    } catch (const CommandLine::UsageError& error) {
        std::cerr << "quillomatic-convert: " << error.what() << "\n" << CommandLine::Usage();
        return kExitUsage;
    }
    if (commandLine.WantsHelp()) {
        std::cout << CommandLine::Usage();
        return 0;
    }
    if (commandLine.WantsVersion()) {
        std::cout << "quillomatic-convert " QUILLOMATIC_VERSION "\n";
        return 0;
    }
    try {
        return commandLine.OutputFolder().empty() ? ConvertPage(commandLine)
                                                  : ConvertBatch(commandLine);
    } catch (const ComponentError& error) {
        std::cerr << "quillomatic-convert: " << error.Description() << "\n";
    } catch (const std::exception& error) {
        std::cerr << "quillomatic-convert: " << error.what() << "\n";
    }
    return kExitFailure;
}
