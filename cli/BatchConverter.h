// quillomatic-convert --output-dir: many pages into many formats in one run.
#pragma once

#include "AtomicTextFile.h"
#include "SitePages.h"

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
// its report (see ReadReport), empty for none.
struct BatchOutput {
    std::string_view Extension;
    std::function<std::vector<std::string>(const SitePage& page, TextStream& source,
                                           TextStream& output)>
        Write;
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
// the pages themselves is refused alone (see PageFiles).
class BatchConverter {
public:
    // Fails, before anything is written, when `folder` is not an existing folder.
    BatchConverter(std::vector<BatchOutput> outputs, std::string folder);

    // Converts `pages` with `jobs` threads (0: one per processor), telling
    // `report` the outcome of each page.
    void Run(const std::vector<SitePage>& pages, unsigned jobs, BatchReport& report) const;

private:
    void ConvertPages(const std::vector<SitePage>& pages, const PageFiles& pageFiles,
                      std::atomic<std::size_t>& next, BatchReport& report) const;
    // The scripts of one page, complete but not in place yet; a line in
    // `refusals` for each script left out because it would replace a page.
    [[nodiscard]] std::vector<std::unique_ptr<AtomicTextFile>>
    WriteScripts(const SitePage& page, const PageFiles& pageFiles,
                 const FileSystemObject& fileSystem, std::string& refusals,
                 std::vector<std::string>& notes) const;

    std::vector<BatchOutput> m_Outputs;
    std::string m_Folder;
};

} // namespace quillomatic
