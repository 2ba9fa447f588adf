// quillomatic-convert --output-dir: many pages into many formats in one run.
#pragma once

#include "AtomicTextFile.h"
#include "SitePages.h"
#include "TargetFormat.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillomatic {

class BatchReport;
class FileSystemObject;
class PageFiles;
class TextStream;

// A file the batch writes for each page: its extension, and how the page
// read from `source` becomes what goes to `output`; the lines it returns are
// its report (see ReadReport), empty for none. `Format` is the format whose
// header marks a file of this kind as written by this program, where one does.
struct BatchOutput {
    std::string_view Extension;
    std::function<std::vector<std::string>(const SitePage& page, TextStream& source,
                                           TextStream& output)>
        Write;
    const TargetFormat* Format = nullptr;
};

// Writes each output of each page, to FOLDER/NAME.EXT (see SitePage and
// ScriptNames), making the folders below FOLDER that NAME needs: a script of
// each format through the engine's one path (Converter::ConvertToStream),
// or the page of a script through the reader's (ScriptReader::ReadToStream).
// The pages are shared out among threads, each taking the next page not yet
// taken, so what is written does not depend on their number. Each page is
// read once per output; its files replace theirs whole or not at all, put
// in place a group at a time (see ReplacementGroup). A page that fails is
// reported and the others go on. A file that would be written over one of
// the pages themselves is refused alone (see PageFiles). A watch keeps a
// file that already holds its bytes as it is, time stamp and all, and
// removes the scripts of a page that has gone.
class BatchConverter {
public:
    // What becomes of a file that already holds exactly its bytes.
    enum class Unchanged { Rewritten, Kept };

    struct Totals {
        std::size_t Written = 0;
        std::size_t Unchanged = 0; // kept as they were
    };

    struct Removal {
        std::size_t Removed = 0;
        // A line for each file left in place or that could not be removed.
        std::vector<std::string> Failures;
    };

    // Makes `folder` and its parents when missing; fails, before anything is
    // written, when it cannot be made or is not a folder.
    BatchConverter(std::vector<BatchOutput> outputs, std::string folder,
                   Unchanged unchanged = Unchanged::Rewritten);

    // Converts `pages` with `jobs` threads (0: one per processor), telling
    // `report` the outcome of each page.
    Totals Run(const std::vector<SitePage>& pages, unsigned jobs, BatchReport& report) const;
    // The same, for some of the pages of `site`, none of whose pages is written over.
    Totals Run(const std::vector<SitePage>& pages, const PageFiles& site, unsigned jobs,
               BatchReport& report) const;

    // Removes the files of the page named `name` (see SitePage), those this
    // program wrote only (see OwnScripts).
    [[nodiscard]] Removal RemoveScripts(const std::string& name) const;

private:
    void ConvertPages(const std::vector<SitePage>& pages, const PageFiles& pageFiles,
                      std::atomic<std::size_t>& next, BatchReport& report,
                      std::atomic<std::size_t>& written, std::atomic<std::size_t>& unchanged) const;
    // The files of one page, complete but not in place yet; a line in
    // `refusals` for each left out because it would replace a page, its
    // report in `notes`, and in `unchanged` a count of those left out because
    // they are there already.
    [[nodiscard]] std::vector<std::unique_ptr<AtomicTextFile>>
    WriteScripts(const SitePage& page, const PageFiles& pageFiles,
                 const FileSystemObject& fileSystem, std::string& refusals,
                 std::vector<std::string>& notes, std::size_t& unchanged) const;

    std::vector<BatchOutput> m_Outputs;
    std::string m_Folder;
    Unchanged m_Unchanged;
};

} // namespace quillomatic
