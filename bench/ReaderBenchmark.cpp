// The way back's throughput: each format's script of a page read back into
// the page, file to file as quillomatic-convert --to html does, beside the
// forward conversion of the same page; both counted in bytes of the page.
#include "CodePage1252.h"
#include "Converter.h"
#include "FileSystemObject.h"
#include "SamplePage.h"
#include "ScratchFolder.h"
#include "ScriptReader.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace quillomatic::bench {
namespace {

namespace fs = std::filesystem;

// The page of `shape` and `megabytes` as a Windows-1252 file, and its
// script in `format`, each written once.
struct Files {
    std::string Page;
    std::string Script;
};
const Files& FilesOf(const TargetFormat& format, PageShape shape, std::size_t megabytes) {
    static ScratchFolder folder;
    static std::map<std::tuple<const TargetFormat*, PageShape, std::size_t>, Files> made;
    Files& files = made[{&format, shape, megabytes}];
    if (files.Page.empty()) {
        const std::string name =
            std::to_string(static_cast<int>(shape)) + "-" + std::to_string(megabytes);
        files.Page = "page-" + name + ".html";
        if (!fs::exists(files.Page)) {
            std::string encoded;
            CodePage1252::AppendEncoded(MakePage(shape, megabytes << 20), encoded);
            std::ofstream(files.Page, std::ios::binary)
                .write(encoded.data(), static_cast<std::streamsize>(encoded.size()));
        }
        files.Script = "script-" + name + "." + std::string(format.Extension);
        TextStream source = FileSystemObject().OpenTextFile(files.Page);
        TextStream output = FileSystemObject().CreateTextFile(files.Script, true);
        Converter::ConvertToStream(format, source, output);
        output.Close();
    }
    return files;
}

// Script to page, file to file; the page of the last run is removed outside
// the timing, so no run pays for truncating it.
void ReadBack(benchmark::State& state, const TargetFormat& format, PageShape shape) {
    const Files& files = FilesOf(format, shape, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove("page.out");
        state.ResumeTiming();
        TextStream script = FileSystemObject().OpenTextFile(files.Script);
        TextStream page = FileSystemObject().CreateTextFile("page.out", true);
        benchmark::DoNotOptimize(ScriptReader::ReadToStream(LanguageOf(format), script, page));
        page.Close();
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(fs::file_size(files.Page)));
}

// Page to script, the same way, for the figure beside it.
void Forward(benchmark::State& state, const TargetFormat& format, PageShape shape) {
    const Files& files = FilesOf(format, shape, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove("script.out");
        state.ResumeTiming();
        TextStream page = FileSystemObject().OpenTextFile(files.Page);
        TextStream script = FileSystemObject().CreateTextFile("script.out", true);
        Converter::ConvertToStream(format, page, script);
        script.Close();
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(fs::file_size(files.Page)));
}

#define QUILLOMATIC_READER_BENCHMARKS(Format)                                                      \
    BENCHMARK_CAPTURE(Forward, Format##_Mixed, TargetFormat::Format, PageShape::Mixed)             \
        ->Arg(100)                                                                                 \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ReadBack, Format##_Mixed, TargetFormat::Format, PageShape::Mixed)            \
        ->Arg(100)                                                                                 \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ReadBack, Format##_OneLongLine, TargetFormat::Format,                        \
                      PageShape::OneLongLine)                                                      \
        ->Arg(50)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime();                                                                           \
    BENCHMARK_CAPTURE(ReadBack, Format##_AllEscapes, TargetFormat::Format, PageShape::AllEscapes)  \
        ->Arg(64)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()

QUILLOMATIC_READER_BENCHMARKS(ASP);
QUILLOMATIC_READER_BENCHMARKS(PHP);
QUILLOMATIC_READER_BENCHMARKS(JavaScript);
QUILLOMATIC_READER_BENCHMARKS(JSP);
QUILLOMATIC_READER_BENCHMARKS(Perl);

} // namespace
} // namespace quillomatic::bench

BENCHMARK_MAIN();
