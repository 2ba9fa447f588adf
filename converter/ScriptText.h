// A conversion's script assembled in memory as text.
#pragma once

#include "ScriptSink.h"

#include <string>

namespace quillomatic {

// The statements come as code-page bytes (see StatementTranslator); each block
// is decoded onto the end of the text. The text's room is reserved once from
// the size of the source and grows when a page of short or heavily escaped
// lines needs more; reserved pages that are never written cost no memory.
class ScriptText : public ScriptSink {
public:
    explicit ScriptText(std::size_t expectedSize);
    ~ScriptText() { Stop(); }
    ScriptText(const ScriptText&) = delete;
    ScriptText& operator=(const ScriptText&) = delete;

    // The finished text; the ScriptText is empty afterwards.
    [[nodiscard]] std::string Take();

private:
    std::string m_Text; // written by the sink's thread until Take
};

} // namespace quillomatic
