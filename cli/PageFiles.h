// The pages of a run as files, so that no script is written over one of them.
#pragma once

#include "ComponentError.h"

#include <cstdint>
#include <map>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace quillomatic {

// A script written under a page's own name (--output page.html page.html),
// through a link to a page, or over a page that is a hard link of its target
// would destroy the page it is made from. Pages and targets are compared as
// files, by device and inode after following links, not by name; a link to
// any other file is still followed, as cp and editors do. Only regular files
// count: writing into a device or a pipe that is also read destroys nothing.
class PageFiles {
public:
    // Looks at the pages now, before anything is written; a page that cannot
    // be looked at is left out (opening it will say why).
    explicit PageFiles(const std::vector<std::string>& pages);

    // The page open as `descriptor` joins them under `name`, when it is a
    // regular file: standard input redirected from a page ("< page.html") is
    // as much a page as one named, whatever name a target reaches it by.
    void AddOpenPage(int descriptor, const std::string& name);

    // The page `target` is, or nullptr when it is none of them (or does not exist).
    [[nodiscard]] const std::string* PageAt(const std::string& target) const;
    // The page open as `descriptor` (standard output redirected to a page), or nullptr.
    [[nodiscard]] const std::string* PageOpenAs(int descriptor) const;

    // The error for writing `target` over `page`: "Cannot write "TARGET": it is
    // the page "PAGE" itself."
    [[nodiscard]] static ComponentError Refusal(const std::string& target, const std::string& page);

private:
    [[nodiscard]] const std::string* PageOf(const struct stat& status) const;

    using FileId = std::pair<std::uint64_t, std::uint64_t>; // device, inode
    std::map<FileId, std::string> m_PageOfFile;
};

} // namespace quillomatic
