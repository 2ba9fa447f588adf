// The pages of a run as files, so that no script is written over one of them.
#include "PageFiles.h"

#include "FileError.h"
#include "NameQuoting.h"

#include <sys/stat.h>

namespace quillomatic {

PageFiles::PageFiles(const std::vector<std::string>& pages) {
    for (const std::string& page : pages) {
        struct stat status {};
        if (::stat(page.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            m_PageOfFile.emplace(FileId(status.st_dev, status.st_ino), page);
        }
    }
}

void PageFiles::AddOpenPage(int descriptor, const std::string& name) {
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        m_PageOfFile.emplace(FileId(status.st_dev, status.st_ino), name);
    }
}

const std::string* PageFiles::PageAt(const std::string& target) const {
    struct stat status {};
    return ::stat(target.c_str(), &status) == 0 ? PageOf(status) : nullptr;
}

const std::string* PageFiles::PageOpenAs(int descriptor) const {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 ? PageOf(status) : nullptr;
}

const std::string* PageFiles::PageOf(const struct stat& status) const {
    if (!S_ISREG(status.st_mode)) {
        return nullptr;
    }
    const auto found = m_PageOfFile.find(FileId(status.st_dev, status.st_ino));
    return found == m_PageOfFile.end() ? nullptr : &found->second;
}

ComponentError PageFiles::Refusal(const std::string& target, const std::string& page) {
    return FileError::Make(FileError::kPathFileAccessError, FileError::Action::Write, target,
                           "it is the page " + NameQuoting::Quoted(page) + " itself");
}

} // namespace quillomatic
