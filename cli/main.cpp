// quillomatic-convert: the engine for build scripts, one page and one format per run.
#include "AtomicTextFile.h"
#include "CommandLine.h"
#include "ComponentError.h"
#include "Converter.h"
#include "FileSystemObject.h"
#include "TextStream.h"

#include <csignal>
#include <iostream>

using namespace quillomatic;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Converts `source` into the output the command line names. The script goes
// out as it is made, so a page of any size converts in a few megabytes.
void Convert(const CommandLine& commandLine, TextStream& source) {
    const TargetFormat& format = *commandLine.Format();
    if (commandLine.OutputPath().empty()) {
        TextStream output = TextStream::StandardOutput();
        Converter::ConvertToStream(format, source, output);
        output.Close();
    } else {
        AtomicTextFile output(commandLine.OutputPath());
        Converter::ConvertToStream(format, source, output.Stream());
        output.Commit();
    }
}

int Run(const CommandLine& commandLine) {
    // Standard input is converted while it is read, with nothing staged.
    TextStream source = commandLine.InputPath().empty()
                            ? TextStream::StandardInput()
                            : FileSystemObject().OpenTextFile(commandLine.InputPath());
    Convert(commandLine, source);
    source.Close();
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
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
        return Run(commandLine);
    } catch (const ComponentError& error) {
        std::cerr << "quillomatic-convert: " << error.Description() << "\n";
    } catch (const std::exception& error) {
        std::cerr << "quillomatic-convert: " << error.what() << "\n";
    }
    return kExitFailure;
}
