// A conversion's script written to a file as it is made.
#pragma once

#include "ScriptSink.h"

namespace quillomatic {

class TextStream;

// A page of any size converts in little memory, and the file is written while
// the next statements are made. The statements are code-page bytes already
// (see StatementTranslator) and are written as they are.
class ScriptStream : public ScriptSink {
public:
    explicit ScriptStream(TextStream& output);

    // Writes the rest and waits until everything is in the file.
    void Flush() { Finish(); }
};

} // namespace quillomatic
