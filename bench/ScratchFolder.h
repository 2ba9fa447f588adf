// A benchmark's working folder: its files and the staging files of its conversions.
#pragma once

#include <filesystem>

namespace quillomatic::bench {

// A fresh folder below the temporary folder, made the current one so that
// a benchmark names its files as it likes; removed with what it holds when
// the benchmark ends.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Removes the staging files conversions from text left.
    void Clear();

private:
    std::filesystem::path m_Path;
};

} // namespace quillomatic::bench
