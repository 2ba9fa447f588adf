// The conversion engine: HTML in, script source that prints it again out.
#include "Converter.h"

#include "FileError.h"
#include "FileSystemObject.h"
#include "ScriptStream.h"
#include "ScriptText.h"

namespace quillomatic {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Staging names are random; a name that is taken is never reused, so a file or
// link someone else put there is neither overwritten nor followed.
constexpr int kStagingAttempts = 100;

std::string StageText(FileSystemObject& fileSystem, const std::string& text) {
    for (int attempt = 1;; ++attempt) {
        const std::string name = fileSystem.GetTempName();
        try {
            TextStream staging = fileSystem.CreateTextFile(name, false);
            staging.Write(text);
            staging.Close();
            return name;
        } catch (const ComponentError& error) {
            if (error.Number() != FileError::kFileAlreadyExists || attempt == kStagingAttempts) {
                throw;
            }
        }
    }
}

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
    const std::string pathToRead =
        m_SourceHTMLText.empty() ? m_SourceHTMLFilePath : StageText(fileSystem, m_SourceHTMLText);
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
    WriteScript(format, source, script);
    script.Flush();
    source.Close();
}

} // namespace quillomatic
