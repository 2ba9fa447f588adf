// Where quillomatic-convert --output-dir puts the script of a page.
#pragma once

#include <string>
#include <string_view>

namespace quillomatic::ScriptNames {

// The page's file name without its last extension: "pages/index.html" gives
// "index", "archive.tar.htm" gives "archive.tar", "README" stays "README".
[[nodiscard]] std::string PageName(const std::string& pagePath);
// FOLDER/NAME.EXT: the page's name (see SitePage) and the extension of what
// is written (a format's, or "html" for the page of a script).
[[nodiscard]] std::string ScriptPath(const std::string& folder, const std::string& pageName,
                                     std::string_view extension);

} // namespace quillomatic::ScriptNames
