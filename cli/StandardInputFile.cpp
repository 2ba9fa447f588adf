// Standard input, copied to a file of its own in the system's temporary folder.
#include "StandardInputFile.h"

#include "FileError.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace quillomatic {
namespace {

void WriteAll(int descriptor, const char* data, std::size_t size, const std::string& path) {
    while (size > 0) {
        const ssize_t count = ::write(descriptor, data, size);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError::FromErrno(errno, FileError::Action::Write, path);
        }
        data += count;
        size -= static_cast<std::size_t>(count);
    }
}

} // namespace

StandardInputFile::StandardInputFile() {
    std::error_code ignored;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ignored);
    if (folder.empty()) {
        folder = "/tmp";
    }
    std::string pattern = (folder / "quillomatic-stdin-XXXXXX").string();
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) {
        throw FileError::FromErrno(errno, FileError::Action::Create, pattern);
    }
    m_Path = pattern;
    try {
        std::vector<char> buffer(std::size_t(1) << 18);
        for (;;) {
            const ssize_t count = ::read(STDIN_FILENO, buffer.data(), buffer.size());
            if (count == 0) {
                break;
            }
            if (count < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw FileError::FromErrno(errno, FileError::Action::Read, "standard input");
            }
            WriteAll(descriptor, buffer.data(), static_cast<std::size_t>(count), m_Path);
        }
    } catch (...) {
        ::close(descriptor);
        ::unlink(m_Path.c_str());
        throw;
    }
    ::close(descriptor);
}

StandardInputFile::~StandardInputFile() {
    ::unlink(m_Path.c_str());
}

} // namespace quillomatic
