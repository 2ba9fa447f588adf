// The arguments of quillomatic-convert.
#include "CommandLine.h"

#include <string_view>

namespace quillomatic {
namespace {

// The format words as the help has always listed them.
constexpr const char* kFormatWords = "asp, php, javascript, jsp or perl";

const TargetFormat* FormatNamed(std::string_view name) {
    for (const TargetFormat& format : kTargetFormats) {
        if (format.CommandName == name) {
            return &format;
        }
    }
    throw CommandLine::UsageError("unknown format \"" + std::string(name) + "\" (use " +
                                  kFormatWords + ")");
}

} // namespace

std::string CommandLine::Usage() {
    return "Usage: quillomatic-convert --to FORMAT [--output FILE] [INPUT]\n"
           "Rewrites the HTML page INPUT as script source that prints it again,\n"
           "one statement per line.\n"
           "\n"
           "  -t, --to FORMAT      " +
           std::string(kFormatWords) +
           "\n"
           "  -o, --output FILE    write the script to FILE instead of standard output\n"
           "  -h, --help           show this help and exit\n"
           "      --version        show the version and exit\n"
           "\n"
           "Without INPUT, or with \"-\", the page is read from standard input.\n"
           "The script keeps the page's encoding: its bytes pass through unchanged.\n";
}

CommandLine CommandLine::Parse(std::span<const char* const> arguments) {
    CommandLine commandLine;
    bool inputGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const auto valueOf = [&](std::string_view option) -> std::string {
            const std::string_view withEquals = argument.substr(option.size());
            if (withEquals.starts_with("=")) {
                return std::string(withEquals.substr(1));
            }
            if (i + 1 == arguments.size()) {
                throw UsageError(std::string(option) + " needs a value");
            }
            return arguments[++i];
        };
        const auto isOption = [&](std::string_view shortName, std::string_view longName) {
            return argument == shortName || argument == longName ||
                   (argument.starts_with(longName) && argument.substr(longName.size()) != "" &&
                    argument[longName.size()] == '=');
        };
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "-h" || argument == "--help")) {
            commandLine.m_WantsHelp = true;
        } else if (!optionsEnded && argument == "--version") {
            commandLine.m_WantsVersion = true;
        } else if (!optionsEnded && isOption("-t", "--to")) {
            commandLine.m_Format = FormatNamed(valueOf(argument == "-t" ? "-t" : "--to"));
        } else if (!optionsEnded && isOption("-o", "--output")) {
            commandLine.m_OutputPath = valueOf(argument == "-o" ? "-o" : "--output");
            if (commandLine.m_OutputPath.empty()) {
                throw UsageError("--output needs a file name");
            }
        } else if (!optionsEnded && argument.size() > 1 && argument.starts_with("-")) {
            throw UsageError("unknown option " + std::string(argument));
        } else if (inputGiven) {
            throw UsageError("more than one input file given");
        } else {
            inputGiven = true;
            commandLine.m_InputPath = argument == "-" ? "" : std::string(argument);
        }
    }
    if (!commandLine.m_WantsHelp && !commandLine.m_WantsVersion && !commandLine.m_Format) {
        throw UsageError("--to FORMAT is required");
    }
    return commandLine;
}

} // namespace quillomatic
