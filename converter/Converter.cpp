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

// Pages are read for translation in blocks that stay in the processor's cache
// together with the script they become.
constexpr std::size_t kReadBlock = std::size_t(1) << 18;

// Header, the statements of every line of `source`, footer. The page's bytes
// go to the translator block by block; the few bytes it leaves at the end of a
// block go first in the next.
template <typename Source>
void WriteScript(const TargetFormat& format, Source& source, ScriptSink& script) {
    script.Append(format.Header);
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
}

} // namespace

void Converter::SetConvertedSource(const std::string& /*sNewValue*/) {
    throw ComponentError(kErrorConvertedSourceReadOnly, kErrorSource,
                         "The ConvertedSource property is read-only.");
}

const std::string& Converter::ConvertToJavaScript(const std::string& sSourceHTMLText) {
    return ConvertTo(TargetFormat::JavaScript, sSourceHTMLText);
}

const std::string& Converter::ConvertToJSP(const std::string& sSourceHTMLText) {
    return ConvertTo(TargetFormat::JSP, sSourceHTMLText);
}

const std::string& Converter::ConvertToPHP(const std::string& sSourceHTMLText) {
    return ConvertTo(TargetFormat::PHP, sSourceHTMLText);
}

const std::string& Converter::ConvertToPerl(const std::string& sSourceHTMLText) {
    return ConvertTo(TargetFormat::Perl, sSourceHTMLText);
}

const std::string& Converter::ConvertToASP(const std::string& sSourceHTMLText) {
    return ConvertTo(TargetFormat::ASP, sSourceHTMLText);
}

template <typename Convert>
void Converter::FromSource(const std::string& sSourceHTMLText, Convert&& convert) {
    if (!sSourceHTMLText.empty()) {
        SetSourceHTMLText(sSourceHTMLText);
    }
    if (m_SourceHTMLText.empty() && m_SourceHTMLFilePath.empty()) {
        throw ComponentError(kErrorBothSourcesEmpty, kErrorSource,
                             "Conversion cannot occur when both the SourceHTMLText and "
                             "SourceHTMLFilePath properties are empty.");
    }
    FileSystemObject fileSystem;
    if (!m_SourceHTMLText.empty()) {
        StagingFile staging(fileSystem, m_SourceHTMLText);
        convert(staging, m_SourceHTMLText.size());
        staging.Close();
    } else {
        TextStream file = fileSystem.OpenTextFile(m_SourceHTMLFilePath);
        convert(file, file.SizeWhenOpened());
        file.Close();
    }
}

const std::string& Converter::ConvertTo(const TargetFormat& format,
                                        const std::string& sSourceHTMLText) {
    std::string result;
    FromSource(sSourceHTMLText, [&](auto& source, std::uint64_t size) {
        // A typical page grows by a third or so; twice its size covers most pages.
        ScriptText script(format.Header.size() + format.Footer.size() + 2 * size);
        WriteScript(format, source, script);
        result = script.Take();
    });
    m_ConvertedSource = std::move(result);
    return m_ConvertedSource;
}

void Converter::ConvertToStream(const TargetFormat& format, TextStream& output,
                                const std::string& sSourceHTMLText) {
    FromSource(sSourceHTMLText, [&](auto& source, std::uint64_t /*size*/) {
        ScriptStream script(output);
        WriteScript(format, source, script);
        script.Flush();
    });
}

void Converter::ConvertToStream(const TargetFormat& format, TextStream& source,
                                TextStream& output) {
    ScriptStream script(output);
    WriteScript(format, source, script);
    script.Flush();
}

} // namespace quillomatic
