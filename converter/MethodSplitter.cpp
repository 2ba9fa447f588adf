// Spreads the statements of a long script over methods, for a language that bounds a method's code.
#include "MethodSplitter.h"

#include <cassert>
#include <limits>

namespace quillomatic {

MethodSplitter::MethodSplitter(const TargetFormat& format, LineEnds lineEnds)
    : m_Format(format), m_Opener(Framing(format.MethodOpener, lineEnds)),
      m_Closer(Framing(format.MethodCloser, lineEnds)), m_LineBreak(LineBreak(lineEnds)),
      m_Room(format.CallsInline > 0 ? format.CallsInline
                                    : std::numeric_limits<std::size_t>::max()) {}

void MethodSplitter::Break(ScriptSink& script, bool midLine) {
    assert(m_Room == 0 && m_Format.CallsInline > 0);
    if (midLine) {
        script.Append(m_LineBreak);
    }
    if (!m_InMethods) {
        script.Append(m_Opener);
        m_InMethods = true;
    } else {
        script.Append(m_Closer);
        if (m_MethodsInGroup == m_Format.MethodsPerGroup) {
            script.Append(m_Closer);
            script.Append(m_Opener);
            m_MethodsInGroup = 0;
        }
    }
    script.Append(m_Opener);
    ++m_MethodsInGroup;
    m_Room = m_Format.CallsPerMethod;
}

void MethodSplitter::Finish(ScriptSink& script) {
    if (m_InMethods) {
        script.Append(m_Closer);
        script.Append(m_Closer);
    }
}

} // namespace quillomatic
