// Which names in a site's folders are pages, and which are left out.
#include "PageNames.h"

#include <algorithm>
#include <strings.h>

namespace quillomatic::PageNames {
namespace {

bool EndsWithIgnoringCase(std::string_view name, std::string_view ending) {
    return name.size() > ending.size() && ::strncasecmp(name.data() + (name.size() - ending.size()),
                                                        ending.data(), ending.size()) == 0;
}

} // namespace

bool IsPageName(std::string_view name, const std::vector<std::string>& extensions) {
    return std::ranges::any_of(extensions, [name](const std::string& extension) {
        return name.size() > extension.size() + 1 &&
               name[name.size() - extension.size() - 1] == '.' &&
               EndsWithIgnoringCase(name, extension);
    });
}

bool IsLeftOut(std::string_view name) {
    return name.starts_with('.') || name.starts_with('#') || name.ends_with('~') ||
           name.ends_with(".swp") || name.ends_with(".swx");
}

} // namespace quillomatic::PageNames
