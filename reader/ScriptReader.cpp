// The way back: a script read into the HTML it prints.
#include "ScriptReader.h"

#include "FileSystemObject.h"
#include "ScriptLexer.h"
#include "ScriptStream.h"
#include "ScriptText.h"
#include "TextStream.h"

namespace quillomatic::ScriptReader {

ReadReport ReadToStream(const ScriptLanguage& language, TextStream& script, TextStream& html) {
    ReadReport report;
    ScriptStream output(html);
    language.MakeReader(script, output, report)->Read();
    output.Flush();
    return report;
}

RecoveredPage ReadFile(const ScriptLanguage& language, TextStream& script) {
    RecoveredPage page;
    ScriptText output;
    output.ExpectPage(script.SizeWhenOpened());
    language.MakeReader(script, output, page.Report)->Read();
    script.Close();
    page.Html = output.Take();
    return page;
}

} // namespace quillomatic::ScriptReader
