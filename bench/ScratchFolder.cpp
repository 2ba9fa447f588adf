// A benchmark's working folder: its files and the staging files of its conversions.
#include "ScratchFolder.h"

#include "FileSystemObject.h"

#include <cstdlib>
#include <string>

namespace quillomatic::bench {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "quillomatic-bench-XXXXXX").string();
    m_Path = ::mkdtemp(pattern.data());
    fs::current_path(m_Path);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::current_path(fs::temp_directory_path(), ignored);
    fs::remove_all(m_Path, ignored);
}

void ScratchFolder::Clear() {
    for (const auto& entry : fs::directory_iterator(m_Path)) {
        if (FileSystemObject::IsTempName(entry.path().filename().string())) {
            fs::remove(entry.path());
        }
    }
}

} // namespace quillomatic::bench
