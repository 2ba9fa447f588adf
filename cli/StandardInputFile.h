// Standard input, copied to a file of its own in the system's temporary folder.
#pragma once

#include <string>

namespace quillomatic {

// The converter reads pages from files; this gives it standard input as one,
// and removes that file again when it goes out of scope.
class StandardInputFile {
public:
    StandardInputFile();
    ~StandardInputFile();
    StandardInputFile(const StandardInputFile&) = delete;
    StandardInputFile& operator=(const StandardInputFile&) = delete;

    [[nodiscard]] const std::string& Path() const noexcept { return m_Path; }

private:
    std::string m_Path;
};

} // namespace quillomatic
