// The conversion engine: HTML in, script source that prints it again out.
#include "Converter.h"

#include "FileSystemObject.h"
#include "ScriptStream.h"
#include "ScriptText.h"
#include "StagingFile.h"
#include "StatementTranslator.h"

#include <cstring>
#include <memory>

namespace quillomatic {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Pages are read for translation in blocks that stay in the processor's cache
// together with the script they become.
constexpr std::size_t kReadBlock = std::size_t(1) << 18;

} // namespace

void Converter::SetConvertedSource(const std::string& /*sNewValue*/) {
    throw ComponentError(kErrorConvertedSourceReadOnly, kErrorSource,
                         "The ConvertedSource property is read-only.");
}

const std::string& Converter::ConvertToJavaScript(const std::string& sSourceHTMLText) {
    return Convert(TargetFormat::JavaScript, sSourceHTMLText);
}

const std::string& Converter::ConvertToJSP(const std::string& sSourceHTMLText) {
    return Convert(TargetFormat::JSP, sSourceHTMLText);
}

const std::string& Converter::ConvertToPHP(const std::string& sSourceHTMLText) {
    return Convert(TargetFormat::PHP, sSourceHTMLText);
}

const std::string& Converter::ConvertToPerl(const std::string& sSourceHTMLText) {
    return Convert(TargetFormat::Perl, sSourceHTMLText);
}

const std::string& Converter::ConvertToASP(const std::string& sSourceHTMLText) {
    return Convert(TargetFormat::ASP, sSourceHTMLText);
}

TextStream Converter::OpenSource(const std::string& sSourceHTMLText) {
    if (!sSourceHTMLText.empty()) {
        SetSourceHTMLText(sSourceHTMLText);
    }
    if (m_SourceHTMLText.empty() && m_SourceHTMLFilePath.empty()) {
        throw ComponentError(kErrorBothSourcesEmpty, kErrorSource,
                             "Conversion cannot occur when both the SourceHTMLText and "
                             "SourceHTMLFilePath properties are empty.");
    }
    FileSystemObject fileSystem;
    const std::string pathToRead = m_SourceHTMLText.empty()
                                       ? m_SourceHTMLFilePath
                                       : StagingFile::Create(fileSystem, m_SourceHTMLText);
    return fileSystem.OpenTextFile(pathToRead);
}

void Converter::WriteScript(const TargetFormat& format, TextStream& source, ScriptSink& script) {
    script.Append(format.Header);
    const std::size_t statementFrame =
        format.Opener.size() + format.Closer.size() + kLineEnd.size();
    std::string line;
    while (!source.AtEndOfStream()) {
        source.ReadLine(line);
        char* out = script.Room(statementFrame + LineEscaper::MostOutputFor(line.size()));
        out = ScriptSink::CopyTo(out, format.Opener);
        out = format.Escaper.Write(line, out);
        out = ScriptSink::CopyTo(out, format.Closer);
        script.EndAt(ScriptSink::CopyTo(out, kLineEnd));
    }
    script.Append(format.Footer);
}

const std::string& Converter::Convert(const TargetFormat& format,
                                      const std::string& sSourceHTMLText) {
    TextStream source = OpenSource(sSourceHTMLText);
    // A typical page grows by a third or so; twice its size covers most pages.
    ScriptText script(format.Header.size() + format.Footer.size() + 2 * source.SizeWhenOpened());
    WriteScript(format, source, script);
    source.Close();
    m_ConvertedSource = script.Take();
    return m_ConvertedSource;
}

void Converter::ConvertToStream(const TargetFormat& format, TextStream& output,
                                const std::string& sSourceHTMLText) {
    TextStream source = OpenSource(sSourceHTMLText);
    ScriptStream script(output);
    script.Append(format.Header);
    // The page's bytes go to the translator block by block; the few bytes it
    // leaves at the end of a block go first in the next.
    StatementTranslator translator(format);
    const std::size_t carryRoom = translator.HoldBack();
    const auto buffer = std::make_unique_for_overwrite<char[]>(carryRoom + kReadBlock);
    std::size_t carried = 0;
    for (;;) {
        const std::size_t count = source.ReadBytes(buffer.get() + carried, kReadBlock);
        const char* const end = buffer.get() + carried + count;
        const char* const rest = translator.Translate(buffer.get(), end, count == 0, script);
        if (count == 0) {
            break;
        }
        carried = static_cast<std::size_t>(end - rest);
        std::memmove(buffer.get(), rest, carried);
    }
    script.Append(format.Footer);
    script.Flush();
    source.Close();
}

} // namespace quillomatic
