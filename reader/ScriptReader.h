// The way back: a script read into the HTML it prints.
//
// A script is read in its language (ScriptLanguage, a row for each of the
// five formats) by that language's reader (PhpReader, PerlReader,
// JavaScriptReader, JspReader, AspReader), each a ScriptLexer: the script
// comes in a block at a time through a PageReader, and the HTML goes out as
// it is made, through the engine's sinks (ScriptStream into a file,
// ScriptText into memory), so a script of any size reads in a few
// megabytes. What the HTML does not hold as the script prints it is in the
// ReadReport, line by line. A script that cannot be read (a literal that is
// not closed) fails with a ComponentError naming the script and the line.
// Nothing here knows of Qt or of the companion.
#pragma once

#include "ReadReport.h"
#include "ScriptLanguage.h"

#include <string>

namespace quillomatic {

class TextStream;

namespace ScriptReader {

// Reads the script from `script` (a file or a pipe) and writes its HTML to
// `html` as it is made, on a thread of its own while the rest is read.
ReadReport ReadToStream(const ScriptLanguage& language, TextStream& script, TextStream& html);

struct RecoveredPage {
    std::string Html; // the bytes the script prints
    ReadReport Report;
};

// Reads the script from the file open as `script` into memory.
[[nodiscard]] RecoveredPage ReadFile(const ScriptLanguage& language, TextStream& script);

} // namespace ScriptReader
} // namespace quillomatic
