// What quillomatic-convert writes for each page: a script in each format, or
// the page a script prints.
#pragma once

#include "BatchConverter.h"
#include "CommandLine.h"
#include "ScriptLanguage.h"
#include "TargetFormat.h"

#include <string>
#include <vector>

namespace quillomatic::BatchOutputs {

// The script of each page in each of `formats`, with `lineEnds`.
[[nodiscard]] std::vector<BatchOutput> Scripts(const std::vector<const TargetFormat*>& formats,
                                               LineEnds lineEnds);
// The HTML each script prints, NAME.html, read in `language`, or in the
// language its name tells where that is nullptr.
[[nodiscard]] std::vector<BatchOutput> Pages(const ScriptLanguage* language);
// The extensions of the scripts a folder holds for Pages(`language`).
[[nodiscard]] std::vector<std::string> ScriptExtensionsOf(const ScriptLanguage* language);

// What each page of the command line's run becomes: its scripts, or for
// --to html the page a script prints.
[[nodiscard]] std::vector<BatchOutput> Of(const CommandLine& commandLine);
// The extensions of the files a folder named holds as pages for that run:
// .html and .htm, or for --to html the scripts'.
[[nodiscard]] std::vector<std::string> PageExtensionsOf(const CommandLine& commandLine);

} // namespace quillomatic::BatchOutputs
