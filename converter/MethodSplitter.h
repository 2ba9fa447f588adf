// Spreads the statements of a long script over methods, for a language that bounds a method's code.
#pragma once

#include "ScriptSink.h"
#include "TargetFormat.h"

#include <cstddef>
#include <string>

namespace quillomatic {

// Counts the calls (statements and the pieces of long lines) as they are
// written and writes the lines that open and close methods among them (see
// TargetFormat): none among the first CallsInline calls, so a script of no
// more is the script it always was; before the next call the lines that open
// a group and a method in it; after every CallsPerMethod calls the lines that
// close the method and open the next, and after every MethodsPerGroup methods
// those that close the group too and open the next; after the last call the
// two lines that close what is open. Where a boundary falls between two
// pieces of one line, the line is broken there first, so the framing always
// stands on lines of its own. Deciding needs nothing but the count so far, so
// the script is still written as the page is read.
class MethodSplitter {
public:
    MethodSplitter(const TargetFormat& format, LineEnds lineEnds);

    // Calls that may be written before Break is due; for a format without
    // the bound, more than any script holds.
    [[nodiscard]] std::size_t Room() const noexcept { return m_Room; }
    // `calls` calls were written, no more than Room().
    void Wrote(std::size_t calls) noexcept { m_Room -= calls; }
    // Writes the lines due before the next call, once Room() is 0;
    // `midLine`: that call continues a line.
    void Break(ScriptSink& script, bool midLine);
    // Writes the lines that close what is open, after the last call.
    void Finish(ScriptSink& script);

private:
    const TargetFormat& m_Format;
    std::string m_Opener;
    std::string m_Closer;
    std::string m_LineBreak;
    std::size_t m_Room;
    bool m_InMethods = false;
    std::size_t m_MethodsInGroup = 0;
};

} // namespace quillomatic
