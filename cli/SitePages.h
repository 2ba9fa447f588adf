// The pages of a batch: the files named, and the pages of the folders named.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillomatic {

// A page of a batch and the name its scripts take in the output folder.
struct SitePage {
    // Where the page is read from.
    std::string Path;
    // The scripts' path in the output folder without the extension: the
    // page's path below the folder named, without its last extension
    // ("en/index"), or for a page named itself its file name alone ("index").
    std::string Name;
    // Why a folder named could not be read or held no page; such an entry is
    // reported in its place among the pages, not converted.
    std::string Failure;
};

// Expands the INPUTs of a batch into pages. A file named is a page whatever
// its name (and fails later if it cannot be read). A folder named is walked
// at any depth for its pages: the regular files whose names end in one of
// the extensions (".html" or ".htm"; a script's for --to html), in any
// letter case. Hidden files and folders and editors' files are left out (see
// PageNames), and so are links to folders, which could lead the walk round in
// a loop. A folder's entries are taken in the byte order of
// their names, so the pages come in the same order on every run. The same
// file reached twice under one name is kept once.
class SitePages {
public:
    // A folder met on the walk that is `leftOutFolder` (the same folder, by
    // device and inode) is left out with what is below it: a watch's output
    // folder inside the site it watches.
    explicit SitePages(const std::vector<std::string>& inputs,
                       std::vector<std::string> extensions = {"html", "htm"},
                       const std::string& leftOutFolder = {});

    [[nodiscard]] const std::vector<SitePage>& Pages() const noexcept { return m_Pages; }
    // The folders met that exist but could not be listed: what is below
    // them is not known now, rather than gone.
    [[nodiscard]] const std::vector<std::string>& UnreadableFolders() const noexcept {
        return m_UnreadableFolders;
    }
    // A line for each script path that several pages would be written to, in
    // the order of their first page: "a" and "b" would both be written as
    // FOLDER/NAME.EXT (with the extension `extension`).
    [[nodiscard]] std::vector<std::string> Clashes(const std::string& folder,
                                                   std::string_view extension) const;
    // The same for any pages, a site's or some of them.
    [[nodiscard]] static std::vector<std::string> Clashes(const std::vector<SitePage>& pages,
                                                          const std::string& folder,
                                                          std::string_view extension);

private:
    // Adds the pages of the folder at `path`, their names starting with
    // `prefix`; returns how many pages and failures it found.
    std::size_t AddFolder(const std::string& path, const std::string& prefix);
    void AddPage(const std::string& path, const std::string& name);
    void AddFailure(const std::string& path, const std::string& failure);

    std::vector<std::string> m_Extensions;
    std::pair<std::uint64_t, std::uint64_t> m_LeftOut{}; // device, inode; none when 0, 0
    std::vector<SitePage> m_Pages;
    std::vector<std::string> m_UnreadableFolders;
    // Each page's name and file, to keep the same file under one name once.
    std::set<std::pair<std::string, std::string>> m_Taken;
};

} // namespace quillomatic
