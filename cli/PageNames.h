// Which names in a site's folders are pages, and which are left out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillomatic::PageNames {

// A page in a folder: a name ending in "." and one of `extensions` (as
// "html" and "htm"), in any letter case.
[[nodiscard]] bool IsPageName(std::string_view name, const std::vector<std::string>& extensions);
// Names a folder's walk leaves out, with what is below them: hidden files and
// folders (a leading dot), and the files editors keep beside the file being
// edited (a leading "#", or an ending "~", ".swp" or ".swx"; ".#" lock files
// are hidden anyway), which a watch must not take for a page being saved.
[[nodiscard]] bool IsLeftOut(std::string_view name);

} // namespace quillomatic::PageNames
