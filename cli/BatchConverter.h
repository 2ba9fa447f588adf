// quillomatic-convert --output-dir: many pages into many formats in one run.
#pragma once

#include "AtomicTextFile.h"
#include "SitePages.h"
#include "TargetFormat.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace quillomatic {

class BatchReport;
class FileSystemObject;
class PageFiles;

// Converts each page into each format, to FOLDER/NAME.EXT (see SitePage and
// ScriptNames), making the folders below FOLDER that NAME needs, every script
// through the engine's one path (Converter::ConvertToStream).
// The pages are shared out among threads, each taking the next page not yet
// taken, so what is written does not depend on their number. Each page is
// read once per format; its scripts replace their files whole or not at all,
// put in place a group at a time (see ReplacementGroup). A page that fails is
// reported and the others go on. A script that would be written over one of
// the pages themselves is refused alone (see PageFiles). A watch keeps a
// script whose file already holds its bytes as it is, time stamp and all, and
// removes the scripts of a page that has gone.
class BatchConverter {
public:
    // What becomes of a script whose file already holds exactly its bytes.
    enum class Unchanged { Rewritten, Kept };

    struct Totals {
        std::size_t Written = 0;
        std::size_t Unchanged = 0; // kept as they were
    };

    struct Removal {
        std::size_t Removed = 0;
        std::string Failure; // a line a file left in place or that could not be removed
    };

    // Makes `folder` and its parents when missing; fails, before anything is
    // written, when it cannot be made or is not a folder.
    BatchConverter(std::vector<const TargetFormat*> formats, std::string folder, LineEnds lineEnds,
                   Unchanged unchanged = Unchanged::Rewritten);

    // Converts `pages` with `jobs` threads (0: one per processor), telling
    // `report` the outcome of each page.
    Totals Run(const std::vector<SitePage>& pages, unsigned jobs, BatchReport& report) const;
    // The same, for some of the pages of `site`, none of whose pages is written over.
    Totals Run(const std::vector<SitePage>& pages, const PageFiles& site, unsigned jobs,
               BatchReport& report) const;

    // Removes the scripts of the page named `name` (see SitePage) in each format, those
    // this program wrote only (see OwnScripts).
    [[nodiscard]] Removal RemoveScripts(const std::string& name) const;

private:
    void ConvertPages(const std::vector<SitePage>& pages, const PageFiles& pageFiles,
                      std::atomic<std::size_t>& next, BatchReport& report,
                      std::atomic<std::size_t>& written, std::atomic<std::size_t>& unchanged) const;
    // The scripts of one page, complete but not in place yet; a line in
    // `refusals` for each script left out because it would replace a page,
    // and in `unchanged` a count of those left out because their files hold them already.
    [[nodiscard]] std::vector<std::unique_ptr<AtomicTextFile>>
    WriteScripts(const SitePage& page, const PageFiles& pageFiles,
                 const FileSystemObject& fileSystem, std::string& refusals,
                 std::size_t& unchanged) const;

    std::vector<const TargetFormat*> m_Formats;
    std::string m_Folder;
    LineEnds m_LineEnds;
    Unchanged m_Unchanged;
};

} // namespace quillomatic
