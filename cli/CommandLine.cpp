// The arguments of quillomatic-convert.
#include "CommandLine.h"

#include "NameQuoting.h"
#include "ScriptLanguage.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <getopt.h>
#include <optional>
#include <string_view>

namespace quillomatic {
namespace {

// Values for the options that have no short form.
constexpr int kLineEndsOption = 256;
constexpr int kVersionOption = 257;
constexpr int kWatchOption = 258;
constexpr int kDebounceOption = 259;
constexpr int kPollOption = 260;
constexpr int kFromOption = 261;
constexpr int kStrictOption = 262;

constexpr std::array<option, 13> kOptions = {{
    {"to", required_argument, nullptr, 't'},
    {"output", required_argument, nullptr, 'o'},
    {"output-dir", required_argument, nullptr, 'd'},
    {"line-ends", required_argument, nullptr, kLineEndsOption},
    {"jobs", required_argument, nullptr, 'j'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersionOption},
    {"watch", no_argument, nullptr, kWatchOption},
    {"debounce", required_argument, nullptr, kDebounceOption},
    {"poll", required_argument, nullptr, kPollOption},
    {"from", required_argument, nullptr, kFromOption},
    {"strict", no_argument, nullptr, kStrictOption},
    {nullptr, 0, nullptr, 0},
}};
// The leading ":" makes getopt_long tell a missing value from an unknown option.
constexpr const char* kShortOptions = ":t:o:d:j:h";

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

// A format's words are its command name and its files' extension, which is
// how "js" and "pl" come to name JavaScript and Perl.
const TargetFormat* FormatOfWord(std::string_view word) {
    for (const TargetFormat& format : kTargetFormats) {
        if (EqualsIgnoringCase(word, format.CommandName) ||
            EqualsIgnoringCase(word, format.Extension)) {
            return &format;
        }
    }
    return nullptr;
}

// "asp, javascript or js, php, jsp, perl or pl"
std::string FormatWords() {
    std::string words;
    for (const TargetFormat& format : kTargetFormats) {
        words += words.empty() ? "" : ", ";
        words += format.CommandName;
        if (format.Extension != format.CommandName) {
            words += " or " + std::string(format.Extension);
        }
    }
    return words;
}

// "asp, js, php, jsp or pl"
std::string Extensions() {
    std::string extensions;
    for (std::size_t i = 0; i < kTargetFormats.size(); ++i) {
        extensions += i == 0 ? "" : i + 1 == kTargetFormats.size() ? " or " : ", ";
        extensions += kTargetFormats[i].Extension;
    }
    return extensions;
}

// ".asp; .js; .php, .phtml; .jsp; .pl, .cgi, .pm"
std::string ScriptExtensionList() {
    std::string list;
    for (const ScriptLanguage& language : kScriptLanguages) {
        list += list.empty() ? "" : "; ";
        for (std::size_t i = 0; i < language.Extensions.size() && !language.Extensions[i].empty();
             ++i) {
            list += (i == 0 ? "." : ", .") + std::string(language.Extensions[i]);
        }
    }
    return list;
}

const ScriptLanguage& LanguageOfWord(std::string_view word) {
    if (const TargetFormat* format = FormatOfWord(word)) {
        return LanguageOf(*format);
    }
    throw CommandLine::UsageError("unknown format \"" + std::string(word) + "\" for --from (use " +
                                  FormatWords() + ")");
}

std::vector<const TargetFormat*> FormatsNamed(std::string_view list) {
    std::vector<const TargetFormat*> formats;
    const auto add = [&formats](const TargetFormat& format) {
        if (std::ranges::find(formats, &format) == formats.end()) {
            formats.push_back(&format);
        }
    };
    for (;;) {
        const std::size_t comma = list.find(',');
        const std::string_view word = list.substr(0, comma);
        if (EqualsIgnoringCase(word, "all")) {
            std::ranges::for_each(kTargetFormats, add);
        } else if (const TargetFormat* format = FormatOfWord(word)) {
            add(*format);
        } else {
            throw CommandLine::UsageError("unknown format \"" + std::string(word) + "\" (use " +
                                          FormatWords() + ", or all)");
        }
        if (comma == std::string_view::npos) {
            return formats;
        }
        list.remove_prefix(comma + 1);
    }
}

LineEnds LineEndsNamed(std::string_view name) {
    if (EqualsIgnoringCase(name, "crlf")) {
        return LineEnds::CRLF;
    }
    if (EqualsIgnoringCase(name, "lf")) {
        return LineEnds::LF;
    }
    throw CommandLine::UsageError("unknown line ends \"" + std::string(name) +
                                  "\" (use crlf or lf)");
}

// The number `number` spells in decimal digits and nothing else.
std::optional<unsigned> WholeNumber(std::string_view number) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size()) {
        return std::nullopt;
    }
    return value;
}

unsigned JobsNamed(std::string_view number) {
    const std::optional<unsigned> jobs = WholeNumber(number);
    if (!jobs || *jobs == 0) {
        throw CommandLine::UsageError("--jobs needs a whole number from 1 up, not \"" +
                                      std::string(number) + "\"");
    }
    return *jobs;
}

// Up to a day, which keeps every sum of times far from overflowing.
std::chrono::milliseconds MillisecondsNamed(const std::string& option, std::string_view number,
                                            unsigned from) {
    const std::optional<unsigned> milliseconds = WholeNumber(number);
    if (!milliseconds || *milliseconds < from || *milliseconds > 86'400'000) {
        throw CommandLine::UsageError(option + " needs a whole number of milliseconds from " +
                                      std::to_string(from) + " up, not \"" + std::string(number) +
                                      "\"");
    }
    return std::chrono::milliseconds(*milliseconds);
}

std::string LongNameOf(int value) {
    for (const option& candidate : kOptions) {
        if (candidate.name != nullptr && candidate.val == value) {
            return std::string("--") + candidate.name;
        }
    }
    return std::string("-") + char(value);
}

// What getopt_long refused: a short option it does not know, a long option it
// does not know or cannot tell from another, or a value given to an option
// that takes none. `argument` is the word that held it.
std::string RefusalOf(int unknownShort, std::string_view argument) {
    if (unknownShort != 0 && LongNameOf(unknownShort).starts_with("--")) {
        return LongNameOf(unknownShort) + " takes no value";
    }
    if (unknownShort != 0) {
        return std::string("unknown option -") + char(unknownShort);
    }
    const std::string_view name = argument.substr(0, argument.find('='));
    std::string matches;
    int count = 0;
    for (const option& candidate : kOptions) {
        if (candidate.name != nullptr &&
            std::string_view(candidate.name).starts_with(name.substr(2))) {
            matches += (count++ == 0 ? "--" : " or --") + std::string(candidate.name);
        }
    }
    if (count > 1) {
        return "ambiguous option " + std::string(name) + " (" + matches + "?)";
    }
    return "unknown option " + std::string(name);
}

} // namespace

std::string CommandLine::Usage() {
    return "Usage: quillomatic-convert --to FORMATS [--output FILE | --output-dir DIR]\n"
           "           [--line-ends crlf|lf] [--jobs N] [INPUT...]\n"
           "       quillomatic-convert --watch --to FORMATS --output-dir DIR\n"
           "           [--debounce MS] [--poll MS] [--line-ends crlf|lf] [--jobs N] INPUT...\n"
           "       quillomatic-convert --to html [--from FORMAT] [--strict]\n"
           "           [--output FILE | --output-dir DIR] [--jobs N] [SCRIPT...]\n"
           "Rewrites each HTML page INPUT as script source that prints it again,\n"
           "one statement per line.\n"
           "\n"
           "  -t, --to FORMATS        " +
           FormatWords() +
           ",\n"
           "                          in any letter case; several joined by commas\n"
           "                          (php,perl); or all\n"
           "  -o, --output FILE       write the script to FILE instead of standard output\n"
           "                          (\"-\": standard output)\n"
           "  -d, --output-dir DIR    write the script of each INPUT in each format to\n"
           "                          DIR/NAME.EXT: NAME is the INPUT's file name without\n"
           "                          its last extension, EXT is " +
           Extensions() +
           ";\n"
           "                          an INPUT folder's pages (*.html, *.htm, at any\n"
           "                          depth, not hidden) go to DIR/PATH/NAME.EXT, PATH\n"
           "                          being their folder within INPUT\n"
           "      --line-ends crlf|lf end the script's own lines with CR LF (the default)\n"
           "                          or with LF\n"
           "  -j, --jobs N            convert N pages side by side (default: as many as\n"
           "                          there are processors)\n"
           "      --watch             convert, then keep watching: convert each page\n"
           "                          again when it changes and remove the scripts of\n"
           "                          pages that go, until interrupted; needs\n"
           "                          --output-dir\n"
           "      --debounce MS       convert once no change has come for MS\n"
           "                          milliseconds (default 100)\n"
           "      --poll MS           look for changes every MS milliseconds instead of\n"
           "                          being told by the kernel (network mounts)\n"
           "      --to html           read each INPUT, a script, back into the HTML it\n"
           "                          prints; what is not a literal stands as {{...}}\n"
           "      --from FORMAT       the scripts' language where their names do not tell\n"
           "                          it (" +
           ScriptExtensionList() +
           ")\n"
           "      --strict            with --to html, exit with 1 when anything was left\n"
           "                          out or stands as {{...}}\n"
           "  -h, --help              show this help and exit\n"
           "      --version           show the version and exit\n"
           "\n"
           "With one INPUT and one format the script goes to standard output, or to\n"
           "FILE. Several INPUTs or formats, or a folder, need --output-dir, which\n"
           "is made with its parents when missing; when two pages would be written\n"
           "to the same file, nothing is written.\n"
           "Without INPUT, or with \"-\", the page is read from standard input (not\n"
           "with --output-dir). Each file written is replaced whole or not at all.\n"
           "A page that cannot be converted is reported and the others are still\n"
           "converted; the exit status is then 1. Wrong arguments exit with 2.\n"
           "The script keeps the page's encoding: its bytes pass through unchanged.\n";
}

CommandLine CommandLine::Parse(std::span<const char* const> arguments) {
    // getopt_long reorders the words it is given, so it gets copies of the
    // pointers; the strings themselves are only read.
    std::vector<char*> words{const_cast<char*>("quillomatic-convert")};
    for (const char* argument : arguments) {
        words.push_back(const_cast<char*>(argument));
    }
    words.push_back(nullptr);
    const int count = static_cast<int>(words.size() - 1);
    optind = 0; // starts getopt_long afresh, as for every parse
    opterr = 0; // the refusals are worded here

    CommandLine commandLine;
    for (;;) {
        const int found =
            ::getopt_long(count, words.data(), kShortOptions, kOptions.data(), nullptr);
        if (found == -1) {
            break;
        }
        const std::string value = optarg != nullptr ? optarg : "";
        switch (found) {
        case 't':
            commandLine.m_ToHtml = EqualsIgnoringCase(value, "html");
            commandLine.m_Formats =
                commandLine.m_ToHtml ? std::vector<const TargetFormat*>{} : FormatsNamed(value);
            break;
        case kFromOption:
            commandLine.m_From = &LanguageOfWord(value);
            break;
        case kStrictOption:
            commandLine.m_Strict = true;
            break;
        case 'o':
            if (value.empty()) {
                throw UsageError("--output needs a file name");
            }
            commandLine.m_OutputPath = value;
            break;
        case 'd':
            if (value.empty()) {
                throw UsageError("--output-dir needs a folder name");
            }
            commandLine.m_OutputFolder = value;
            break;
        case kLineEndsOption:
            commandLine.m_LineEnds = LineEndsNamed(value);
            break;
        case 'j':
            commandLine.m_Jobs = JobsNamed(value);
            break;
        case 'h':
            commandLine.m_WantsHelp = true;
            break;
        case kVersionOption:
            commandLine.m_WantsVersion = true;
            break;
        case kWatchOption:
            commandLine.m_Watches = true;
            break;
        case kDebounceOption:
            commandLine.m_Debounce = MillisecondsNamed("--debounce", value, 0);
            commandLine.m_DebounceGiven = true;
            break;
        case kPollOption:
            commandLine.m_PollInterval = MillisecondsNamed("--poll", value, 1);
            break;
        case ':':
            throw UsageError(LongNameOf(optopt) + " needs a value");
        default:
            throw UsageError(RefusalOf(optopt, words[static_cast<std::size_t>(optind - 1)]));
        }
    }
    for (int i = optind; i < count; ++i) {
        commandLine.m_InputPaths.emplace_back(words[static_cast<std::size_t>(i)]);
    }
    if (commandLine.m_WantsHelp || commandLine.m_WantsVersion) {
        return commandLine;
    }
    commandLine.CheckCombination();
    // "-" is standard input as INPUT, and standard output as FILE ("./-" names a file).
    if (commandLine.m_OutputFolder.empty() &&
        commandLine.m_InputPaths == std::vector{std::string("-")}) {
        commandLine.m_InputPaths.clear();
    }
    if (commandLine.m_OutputPath == "-") {
        commandLine.m_OutputPath.clear();
    }
    return commandLine;
}

void CommandLine::CheckCombination() const {
    if (m_Formats.empty() && !m_ToHtml) {
        throw UsageError("--to FORMATS is required");
    }
    if (!m_Watches && (m_DebounceGiven || m_PollInterval.count() > 0)) {
        throw UsageError(std::string(m_DebounceGiven ? "--debounce" : "--poll") +
                         " goes with --watch");
    }
    if (m_Watches && m_OutputFolder.empty()) {
        throw UsageError("--watch needs --output-dir");
    }
    if (!m_ToHtml && (m_From != nullptr || m_Strict)) {
        throw UsageError(std::string(m_From != nullptr ? "--from" : "--strict") +
                         " goes with --to html");
    }
    if (m_ToHtml && m_From == nullptr) {
        std::error_code ignored;
        for (const std::string& input : m_InputPaths) {
            if (input == "-") {
                continue;
            }
            if (!std::filesystem::is_directory(input, ignored) && LanguageOfPath(input) == nullptr) {
                throw UsageError("the language of " + NameQuoting::Quoted(input) +
                                 " cannot be told from its name: name it with --from (" +
                                 FormatWords() + ")");
            }
        }
        if (m_InputPaths.empty() || m_InputPaths == std::vector{std::string("-")}) {
            throw UsageError("a script on standard input needs --from, its language");
        }
    }
    if (m_OutputFolder.empty()) {
        std::error_code ignored;
        if (m_InputPaths.size() == 1 &&
            std::filesystem::is_directory(m_InputPaths.front(), ignored)) {
            throw UsageError(NameQuoting::Quoted(m_InputPaths.front()) +
                             " is a folder: its pages need --output-dir");
        }
        if (m_InputPaths.size() > 1) {
            throw UsageError("several pages need --output-dir");
        }
        if (m_Formats.size() > 1) {
            throw UsageError("several formats need --output-dir");
        }
        return;
    }
    if (!m_OutputPath.empty()) {
        throw UsageError("--output and --output-dir cannot be used together");
    }
    // As from an empty $(PAGES) in a Makefile.
    if (m_InputPaths.empty()) {
        throw UsageError("no page was given: --output-dir converts the pages and folders named");
    }
    if (std::ranges::find(m_InputPaths, "-") != m_InputPaths.end()) {
        throw UsageError("--output-dir needs the pages named: it cannot take standard input");
    }
}

} // namespace quillomatic
