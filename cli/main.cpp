// quillomatic-convert: the engine for build scripts, a page into a format, or
// many pages into many formats in one run.
#include "AtomicTextFile.h"
#include "BatchConverter.h"
#include "BatchOutputs.h"
#include "BatchReport.h"
#include "CommandLine.h"
#include "FileSystemObject.h"
#include "MemoryFailure.h"
#include "PageFiles.h"
#include "SignalCleanup.h"
#include "SitePages.h"
#include "SiteWatch.h"
#include "StandardStreams.h"
#include "TextStream.h"

#include <csignal>
#include <iostream>
#include <unistd.h>

using namespace quillomatic;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// After what is wrong with the arguments, where to read what is right.
constexpr const char* kTryHelp = "Try \"quillomatic-convert --help\" for more information.\n";

// The page from the named file or, with none, from standard input, which is
// converted while it is read, with nothing staged.
TextStream OpenPage(const CommandLine& commandLine) {
    if (!commandLine.InputPaths().empty()) {
        return FileSystemObject().OpenTextFile(commandLine.InputPaths().front());
    }
    return TextStream::StandardInput();
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
    PageFiles page(commandLine.InputPaths());
    TextStream source = OpenPage(commandLine);
    if (commandLine.InputPaths().empty()) {
        page.AddOpenPage(source.Descriptor(), source.Path());
    }
    const BatchOutput output = BatchOutputs::Of(commandLine).front();
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
    const SitePages site(commandLine.InputPaths(), BatchOutputs::PageExtensionsOf(commandLine));
    const std::vector<BatchOutput> outputs = BatchOutputs::Of(commandLine);
    // Pages that would overwrite each other's scripts are found before the
    // first is written, and all told at once: the usage would bury them.
    const std::vector<std::string> clashes =
        site.Clashes(commandLine.OutputFolder(), outputs.front().Extension);
    if (!clashes.empty()) {
        for (const std::string& clash : clashes) {
            std::cerr << "quillomatic-convert: " << clash << "\n";
        }
        std::cerr << kTryHelp;
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
    // Past a file size limit, let the write fail and be reported rather than
    // have the signal end the program with a scratch file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    CommandLine commandLine;
    try {
        commandLine = CommandLine::Parse({argv + 1, static_cast<std::size_t>(argc - 1)});
    } catch (const CommandLine::UsageError& error) {
        std::cerr << "quillomatic-convert: " << error.what() << "\n" << kTryHelp;
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
    const bool onePage = commandLine.OutputFolder().empty();
    try {
        SignalCleanup::Install();
        if (commandLine.Watches()) {
            SiteWatch(commandLine, std::cerr, ::isatty(STDERR_FILENO) == 1).Run();
        }
        return onePage ? ConvertPage(commandLine) : ConvertBatch(commandLine);
    } catch (const std::exception& error) {
        const std::string page = !onePage                            ? std::string()
                                 : commandLine.InputPaths().empty() ? "standard input"
                                                                    : commandLine.InputPaths().front();
        std::cerr << "quillomatic-convert: " << MemoryFailure::Describe(error, page) << "\n";
    }
    return kExitFailure;
}
