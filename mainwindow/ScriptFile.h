// A script of the window's last run, kept on disk rather than in memory.
#pragma once

#include "TextStream.h"

#include <string>
#include <string_view>

namespace quillomatic {

// A run makes five scripts, each about the page's size or more; held in
// memory they would take several times what the page's boxes take. So each
// goes into a staging file of its own, and is read back whole when it is
// shown. The file stays open from its writing on, so the script outlives its
// name: StagingFiles removes the names of a run before, and a clean-up of the
// folder may remove any, while a view still needs the script.
class ScriptFile {
public:
    // Writes `script` into a file of a fresh name in `folder` (the current
    // folder when it is empty).
    ScriptFile(const std::string& folder, std::string_view script);

    // The script, byte for byte as it was written. A file whose size has
    // changed since (someone cut it or wrote to it) is refused, as
    // ComponentError, rather than shown as part of a script.
    [[nodiscard]] std::string Read();
    // The file's path, for StagingFiles.
    [[nodiscard]] const std::string& Name() const noexcept { return m_File.Path(); }

private:
    TextStream m_File; // opened once it was written, so its size then is the script's
};

} // namespace quillomatic
