// libFuzzer target for the way back: any bytes as a page go through every
// format and line end and read back into a page that converts into the same
// script again; any bytes as a script of each language read back or fail as
// a script that cannot be read, never otherwise.
#include "ComponentError.h"
#include "Converter.h"
#include "FileError.h"
#include "FileSystemObject.h"
#include "ScriptReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace quillomatic;

namespace {

void Require(bool kept, const char* promise, const std::string& detail = {}) {
    if (!kept) {
        std::fprintf(stderr, "broken promise: %s\n%s\n", promise, detail.c_str());
        std::abort();
    }
}

std::string Bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Converts the page file at `page` into `script`; false where the page is
// not one (UTF-16 that is not valid).
bool Convert(const TargetFormat& format, LineEnds lineEnds, const std::string& page,
             const std::string& script) {
    TextStream source = FileSystemObject().OpenTextFile(page);
    TextStream output = FileSystemObject().CreateTextFile(script, true);
    try {
        Converter::ConvertToStream(format, source, output, lineEnds);
    } catch (const ComponentError& error) {
        Require(error.Number() == FileError::kInvalidFileFormat, "a page fails only as UTF-16",
                error.Description());
        return false;
    }
    output.Close();
    return true;
}

ReadReport Read(const ScriptLanguage& language, const std::string& script,
                const std::string& html) {
    TextStream source = FileSystemObject().OpenTextFile(script);
    TextStream output = FileSystemObject().CreateTextFile(html, true);
    ReadReport report = ScriptReader::ReadToStream(language, source, output);
    output.Close();
    return report;
}

const std::filesystem::path& Workspace() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quillomatic-fuzz-XXXXXX").string();
        return std::filesystem::path(::mkdtemp(pattern.data()));
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path& folder = Workspace();
    const std::string input = (folder / "input").string();
    const std::string script = (folder / "script").string();
    const std::string html = (folder / "html").string();
    const std::string again = (folder / "again").string();
    std::ofstream(input, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    for (const ScriptLanguage& language : kScriptLanguages) {
        for (const LineEnds lineEnds : {LineEnds::CRLF, LineEnds::LF}) {
            if (!Convert(*language.Format, lineEnds, input, script)) {
                break;
            }
            const ReadReport report = Read(language, script, html);
            Require(report.IsEmpty(), "a script of ours reads back whole",
                    report.IsEmpty() ? std::string() : report.Entries()[0].Text);
            Require(Convert(*language.Format, lineEnds, html, again) &&
                        Bytes(again) == Bytes(script),
                    "the page read back converts into the same script",
                    std::string(language.Format->Name));
        }
        try {
            Read(language, input, html);
        } catch (const ComponentError& error) {
            Require(error.Number() == FileError::kInvalidFileFormat,
                    "a script fails only as one that cannot be read", error.Description());
        }
    }
    return 0;
}
