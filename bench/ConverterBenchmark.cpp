// Converter throughput per format and page shape, end to end. From text (the
// window's path): staging the text, reading it back, escaping and assembling the
// script. From file to file (quillomatic-convert's path): reading the page,
// translating it and writing the script.
#include "CodePage1252.h"
#include "Converter.h"
#include "FileSystemObject.h"
#include "SamplePage.h"
#include "ScratchFolder.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

namespace quillomatic::bench {
namespace {

namespace fs = std::filesystem;
using Operation = const std::string& (Converter::*)(const std::string&);

ScratchFolder& Scratch() {
    static ScratchFolder folder;
    return folder;
}

const std::string& Page(PageShape shape, std::size_t bytes) {
    static std::map<std::pair<PageShape, std::size_t>, std::string> pages;
    auto& page = pages[{shape, bytes}];
    if (page.empty() && bytes > 0) {
        page = MakePage(shape, bytes);
    }
    return page;
}

void ConvertText(benchmark::State& state, Operation convert, PageShape shape) {
    Scratch();
    const std::string& page = Page(shape, static_cast<std::size_t>(state.range(0)) << 20);
    for (auto _ : state) {
        Converter converter;
        benchmark::DoNotOptimize((converter.*convert)(page).data());
        state.PauseTiming();
        Scratch().Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}

// How a page file holds its characters: in the code page, in UTF-8, or in
// ASCII, the others left out. JSP's page directive looks at every byte of a
// page that is valid UTF-8 so far, at one of the code page's only up to its
// first character beyond ASCII.
enum class FileEncoding { Windows1252, Utf8, Ascii };

// The page of `Page` as a file, written once.
const std::string& PageFile(PageShape shape, std::size_t bytes,
                            FileEncoding encoding = FileEncoding::Windows1252) {
    static std::map<std::tuple<PageShape, std::size_t, FileEncoding>, std::string> files;
    auto& file = files[{shape, bytes, encoding}];
    if (file.empty()) {
        std::string encoded;
        if (encoding == FileEncoding::Windows1252) {
            CodePage1252::AppendEncoded(Page(shape, bytes), encoded);
        } else {
            encoded = Page(shape, bytes);
        }
        if (encoding == FileEncoding::Ascii) {
            std::erase_if(encoded, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        }
        file = "page-" + std::to_string(static_cast<int>(shape)) + "-" + std::to_string(bytes) +
               "-" + std::to_string(static_cast<int>(encoding)) + ".html";
        std::ofstream(file, std::ios::binary)
            .write(encoded.data(), static_cast<std::streamsize>(encoded.size()));
    }
    return file;
}

// From a file to a file, as quillomatic-convert does; the script of the last
// run is removed outside the timing, so no run pays for truncating it.
void ConvertFileToFile(benchmark::State& state, const TargetFormat& format, PageShape shape,
                       FileEncoding encoding = FileEncoding::Windows1252) {
    Scratch();
    const std::size_t bytes = static_cast<std::size_t>(state.range(0)) << 20;
    const std::string& page = PageFile(shape, bytes, encoding);
    const auto pageSize = static_cast<std::int64_t>(fs::file_size(page));
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove("script.out");
        state.ResumeTiming();
        TextStream source = FileSystemObject().OpenTextFile(page);
        TextStream output = FileSystemObject().CreateTextFile("script.out", true);
        Converter::ConvertToStream(format, source, output);
        output.Close();
    }
    fs::remove("script.out");
    state.SetBytesProcessed(state.iterations() * pageSize);
}

void ConvertEmptyFile(benchmark::State& state, Operation convert) {
    Scratch();
    std::ofstream("empty.html").close();
    for (auto _ : state) {
        Converter converter;
        converter.SetSourceHTMLFilePath("empty.html");
        benchmark::DoNotOptimize((converter.*convert)({}).data());
    }
}

#define QUILLOMATIC_FORMAT_BENCHMARKS(Format)                                                      \
    BENCHMARK_CAPTURE(ConvertText, Format##_Mixed, &Converter::ConvertTo##Format,                  \
                      PageShape::Mixed)                                                            \
        ->Arg(1)                                                                                   \
        ->Arg(64)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ConvertText, Format##_ShortLines, &Converter::ConvertTo##Format,             \
                      PageShape::ShortLines)                                                       \
        ->Arg(64)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ConvertText, Format##_OneLongLine, &Converter::ConvertTo##Format,            \
                      PageShape::OneLongLine)                                                      \
        ->Arg(50)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ConvertText, Format##_AllEscapes, &Converter::ConvertTo##Format,             \
                      PageShape::AllEscapes)                                                       \
        ->Arg(64)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ConvertEmptyFile, Format, &Converter::ConvertTo##Format);                    \
    BENCHMARK_CAPTURE(ConvertFileToFile, Format##_Mixed, TargetFormat::Format, PageShape::Mixed)   \
        ->Arg(1)                                                                                   \
        ->Arg(64)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ConvertFileToFile, Format##_ShortLines, TargetFormat::Format,                \
                      PageShape::ShortLines)                                                       \
        ->Arg(64)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ConvertFileToFile, Format##_OneLongLine, TargetFormat::Format,               \
                      PageShape::OneLongLine)                                                      \
        ->Arg(50)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ConvertFileToFile, Format##_OneLongLine_UTF8, TargetFormat::Format,          \
                      PageShape::OneLongLine, FileEncoding::Utf8)                                  \
        ->Arg(50)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ConvertFileToFile, Format##_OneLongLine_ASCII, TargetFormat::Format,         \
                      PageShape::OneLongLine, FileEncoding::Ascii)                                 \
        ->Arg(50)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ConvertFileToFile, Format##_AllEscapes, TargetFormat::Format,                \
                      PageShape::AllEscapes)                                                       \
        ->Arg(64)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ConvertFileToFile, Format##_Linearity, TargetFormat::Format,                 \
                      PageShape::Mixed)                                                            \
        ->Arg(10)                                                                                  \
        ->Arg(100)                                                                                 \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ConvertText, Format##_Linearity, &Converter::ConvertTo##Format,              \
                      PageShape::Mixed)                                                            \
        ->Arg(10)                                                                                  \
        ->Arg(100)                                                                                 \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()

QUILLOMATIC_FORMAT_BENCHMARKS(ASP);
QUILLOMATIC_FORMAT_BENCHMARKS(PHP);
QUILLOMATIC_FORMAT_BENCHMARKS(JavaScript);
QUILLOMATIC_FORMAT_BENCHMARKS(JSP);
QUILLOMATIC_FORMAT_BENCHMARKS(Perl);

} // namespace
} // namespace quillomatic::bench

BENCHMARK_MAIN();
