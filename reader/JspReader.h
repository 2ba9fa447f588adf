// Reads a JSP page back into the HTML it prints.
#pragma once

#include "CLikeReader.h"

namespace quillomatic {

// The template text outside the scripting elements, as it stands ("<\%" is
// "<%", and an EL expression "${…}" or "#{…}" a placeholder); out.print,
// out.println (a line feed after) and out.write in scriptlets; "<%= … %>";
// Java's string and character literals, "\uXXXX" read as Java reads it,
// before the string is; "%\>" in a scripting element, the page compiler's
// "%>". "<%-- … --%>", directives and Java comments print nothing; a
// declaration "<%! … %>" and an action "<jsp:…>" are left out and named.
// The methods a long page of ours spreads its statements over are framing
// that prints nothing: their statements are read where they stand.
class JspReader : public CLikeReader {
public:
    JspReader(TextStream& script, ScriptSink& html, ReadReport& report);

private:
    void ReadScript() override;
    bool ReadLiteral() override;
    [[nodiscard]] bool AtBlockEnd() override;
    void ReadDoubleQuoted() override;

    // Passes "%>"; a script that ends first is not whole.
    void EndElement(std::uint64_t line);
    void ReadString();
    void ReadCharacter();
    // The character at the cursor as Java reads it: a "\uXXXX" is the
    // character it names. Returns it and passes it; `escaped` says whether
    // it came from a Unicode escape.
    std::uint32_t NextCharacter(bool& escaped);
    // The escape at a backslash; true where it is a quote that ends the string.
    bool ReadEscape(std::uint64_t line);

    bool m_InElement = false;
};

} // namespace quillomatic
