// make_sample_page: writes a realistic page of a given size as Windows-1252
// bytes, for timing quillomatic-convert against other tools on real files.
//
//   make_sample_page SIZE_MB crlf|lf|none OUTPUT
//
// The page is the benchmarks' mixed markup (see SamplePage) with every line
// ending in the chosen terminator, cut after the last whole line that fits in
// SIZE_MB mebibytes. With "none" the lines run together into one, as in a
// minified page, cut at SIZE_MB mebibytes.
#include "CodePage1252.h"
#include "SamplePage.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

using namespace quillomatic;

namespace {

// The page's lines, each ended by `lineEnd` and encoded to the code page, as
// many as fit in `size` bytes.
std::string WithLineEnds(std::string_view page, std::string_view lineEnd, std::size_t size) {
    std::string text;
    text.reserve(page.size() + page.size() / 16);
    while (!page.empty()) {
        const std::size_t end = std::min(page.find('\n'), page.size());
        std::string_view line = page.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        text += line;
        text += lineEnd;
        page.remove_prefix(std::min(end + 1, page.size()));
    }
    std::string bytes;
    bytes.reserve(text.size());
    CodePage1252::AppendEncoded(text, bytes);
    if (bytes.size() > size) {
        bytes.resize(lineEnd.empty() ? size : bytes.rfind('\n', size - 1) + 1);
    }
    return bytes;
}

int Usage() {
    std::cerr << "Usage: make_sample_page SIZE_MB crlf|lf|none OUTPUT\n";
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        return Usage();
    }
    const std::string_view size = argv[1];
    const std::string_view ends = argv[2];
    std::size_t megabytes = 0;
    const auto parsed = std::from_chars(size.data(), size.data() + size.size(), megabytes);
    if (parsed.ec != std::errc() || parsed.ptr != size.data() + size.size() || megabytes == 0 ||
        (ends != "crlf" && ends != "lf" && ends != "none")) {
        return Usage();
    }
    const std::size_t bytes = megabytes << 20;
    // Line ends and the code page change the size; start with more than enough.
    const std::string page =
        WithLineEnds(bench::MakePage(bench::PageShape::Mixed, bytes + bytes / 8),
                     ends == "crlf" ? "\r\n"
                     : ends == "lf" ? "\n"
                                    : "",
                     bytes);
    std::ofstream output(argv[3], std::ios::binary | std::ios::trunc);
    output.write(page.data(), static_cast<std::streamsize>(page.size()));
    output.close();
    if (!output) {
        std::cerr << "make_sample_page: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
