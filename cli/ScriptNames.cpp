// Where quillomatic-convert --output-dir puts the script of a page.
#include "ScriptNames.h"

#include <filesystem>

namespace quillomatic::ScriptNames {

std::string PageName(const std::string& pagePath) {
    return std::filesystem::path(pagePath).stem().string();
}

std::string ScriptPath(const std::string& folder, const std::string& pageName,
                       std::string_view extension) {
    return (std::filesystem::path(folder) / (pageName + "." + std::string(extension))).string();
}

} // namespace quillomatic::ScriptNames
