// A fresh folder for one test, removed with everything in it afterwards.
#include "TemporaryFolder.h"

#include <cstdlib>
#include <stdexcept>

namespace quillomatic::testing {

TemporaryFolder::TemporaryFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quillomatic-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_Path = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    // Tests may leave a folder without permissions behind; give them back first.
    for (auto it = std::filesystem::recursive_directory_iterator(
             m_Path, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
    }
    std::filesystem::permissions(m_Path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_Path, ignored);
}

std::set<std::string> TemporaryFolder::Entries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_Path)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

CurrentFolder::CurrentFolder(const std::filesystem::path& folder)
    : m_Previous(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
}

CurrentFolder::~CurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(m_Previous, ignored);
}

} // namespace quillomatic::testing
