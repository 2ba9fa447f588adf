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
// the pages themselves is refused alone (see PageFiles).
class BatchConverter {
public:
    // Makes `folder` and its parents when missing; fails, before anything is
    // written, when it cannot be made or is not a folder.
    BatchConverter(std::vector<const TargetFormat*> formats, std::string folder, LineEnds lineEnds);

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
                 const FileSystemObject& fileSystem, std::string& refusals) const;

    std::vector<const TargetFormat*> m_Formats;
    std::string m_Folder;
    LineEnds m_LineEnds;
};

} // namespace quillomatic
