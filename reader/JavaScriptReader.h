// Reads a JavaScript script back into the HTML it writes.
#pragma once

#include "CLikeReader.h"

namespace quillomatic {

// document.write(…) and document.writeln(…), which adds a line feed, with "+"
// between literals; "…" and '…' with every JavaScript escape, a backslash
// before a line end among them; template literals, whose "${…}" parts
// become placeholders; comments, "<!--" and "-->" among them. A script in an
// HTML frame ("<SCRIPT …><!--" … "//--></SCRIPT>", as ours are) reads as the
// page text around its SCRIPT elements with what each element writes.
class JavaScriptReader : public CLikeReader {
public:
    JavaScriptReader(TextStream& script, ScriptSink& html, ReadReport& report);

private:
    void ReadScript() override;
    bool ReadLiteral() override;
    bool SkipQuoted(bool afterValue) override;
    [[nodiscard]] bool AtBlockEnd() override;
    void ReadDoubleQuoted() override;

    void ReadString(char quote);
    void ReadTemplate();
    // The escape after a backslash; `inTemplate` refuses the octal ones.
    void ReadEscape(bool inTemplate);
    // Passes "<script …>" or "</script…>" at the cursor.
    void SkipTag();

    bool m_Framed = false;
};

} // namespace quillomatic
