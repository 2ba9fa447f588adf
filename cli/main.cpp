// quillomatic-convert: the engine for build scripts, one page and one format per run.
#include "AtomicTextFile.h"
#include "CommandLine.h"
#include "ComponentError.h"
#include "Converter.h"
#include "StandardInputFile.h"
#include "TextStream.h"

#include <csignal>
#include <iostream>
#include <memory>
#include <unistd.h>

using namespace quillomatic;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Run(const CommandLine& commandLine) {
    std::unique_ptr<StandardInputFile> standardInput;
    Converter converter;
    if (commandLine.InputPath().empty()) {
        standardInput = std::make_unique<StandardInputFile>();
        converter.SetSourceHTMLFilePath(standardInput->Path());
    } else {
        converter.SetSourceHTMLFilePath(commandLine.InputPath());
    }
    // The script goes out as it is made, so a page of any size fits in memory.
    if (commandLine.OutputPath().empty()) {
        TextStream output(STDOUT_FILENO, "standard output", TextStream::Mode::ForWriting, false);
        converter.ConvertToStream(*commandLine.Format(), output);
        output.Close();
    } else {
        AtomicTextFile output(commandLine.OutputPath());
        converter.ConvertToStream(*commandLine.Format(), output.Stream());
        output.Commit();
    }
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
