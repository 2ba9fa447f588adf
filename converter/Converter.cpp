// The conversion engine: HTML in, script source that prints it again out.
#include "Converter.h"

#include "FileSystemObject.h"
#include "LargeText.h"
#include "LiteralCutter.h"
#include "PageReader.h"
#include "ScriptStream.h"
#include "ScriptText.h"
#include "StagingFile.h"
#include "StatementTranslator.h"
#include "TextEncoding.h"

#include <cstring>
#include <memory>

namespace quillomatic {
namespace {

// Pages are read for translation in blocks that stay in the processor's cache
// together with the script they become.
constexpr std::size_t kReadBlock = std::size_t(1) << 18;

// Header, the statements of every line of the page, footer, and the label of
// the page's encoding where the page and the format need one. `feed` hands the
// page's bytes to the translator and returns what it saw of them; the
// statements go to the script, or for a format that bounds its literals to the
// cutter in front of it. So the script is written as the page is read, and the
// label decided at its end.
template <typename Feed>
Utf8Check WriteScript(const TargetFormat& format, LineEnds lineEnds, ScriptSink& script,
                      Feed&& feed) {
    script.Append(Framing(format.Header, lineEnds));
    StatementTranslator translator(format, lineEnds);
    Utf8Check page;
    if (format.LiteralLimit == 0) {
        page = feed(translator, script);
    } else {
        LiteralCutter cutter(format, lineEnds, script);
        page = feed(translator, cutter);
        cutter.Finish();
    }
    script.Append(Framing(format.Footer, lineEnds));
    if (!page.IsAscii()) {
        script.Append(format.LabelFor(page.ReadAs()));
    }
    return page;
}

// Feeds the text in memory in one piece; what the text is, the staging file
// finds out meanwhile.
auto WholeText(std::string_view text, StagingFile& staging) {
    return [text, &staging](StatementTranslator& translator, ScriptSink& statements) {
        translator.Translate(text.data(), text.data() + text.size(), true, statements);
        return staging.Close();
    };
}

// Feeds the page read from `source` block by block: the few bytes the
// translator leaves at the end of a block go first in the next. Every byte is
// looked at only where `checked`: a format without labels needs to know
// nothing of the page.
auto PageBlocks(TextStream& source, bool checked = true) {
    return [&source, checked](StatementTranslator& translator, ScriptSink& statements) {
        PageReader page(source);
        Utf8Check check;
        const std::size_t carryRoom = translator.HoldBack();
        const auto buffer = std::make_unique_for_overwrite<char[]>(carryRoom + kReadBlock);
        std::size_t carried = 0;
        for (;;) {
            const std::size_t count = page.Read(buffer.get() + carried, kReadBlock);
            if (checked) {
                check.Add({buffer.get() + carried, count});
            }
            const char* const end = buffer.get() + carried + count;
            // A pipe's page is converted as it arrives: when it has nothing
            // more for now, the statements so far go out.
            const bool paused = count != 0 && source.WouldWait();
            const char* const rest =
                translator.Translate(buffer.get(), end, count == 0, statements, paused);
            if (paused) {
                statements.PassOn();
            }
            if (count == 0) {
                return check;
            }
            carried = static_cast<std::size_t>(end - rest);
            std::memmove(buffer.get(), rest, carried);
        }
    };
}

} // namespace

Converter::Converter(std::string stagingFolder) : m_StagingFolder(std::move(stagingFolder)) {}

void Converter::SetSourceHTMLText(std::string sNewValue) {
    m_SourceHTMLText = std::move(sNewValue);
}

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

void Converter::TakeSource(const std::string& sSourceHTMLText) {
    if (!sSourceHTMLText.empty()) {
        // A copy of tens of megabytes is written in huge pages, where the
        // kernel has them, sparing it most of its page faults.
        std::string copy;
        ReserveLarge(copy, sSourceHTMLText.size());
        copy = sSourceHTMLText;
        SetSourceHTMLText(std::move(copy));
    }
    if (m_SourceHTMLText.empty() && m_SourceHTMLFilePath.empty()) {
        throw ComponentError(kErrorBothSourcesEmpty, kErrorSource,
                             "Conversion cannot occur when both the SourceHTMLText and "
                             "SourceHTMLFilePath properties are empty.");
    }
}

TextEncoding Converter::WriteScriptOfSource(const TargetFormat& format, ScriptSink& script) {
    m_StagingFileName.clear();
    FileSystemObject fileSystem;
    if (!m_SourceHTMLText.empty()) {
        // The staging file holds the text's own bytes: those are translated.
        StagingFile staging(fileSystem, m_StagingFolder, m_SourceHTMLText);
        m_StagingFileName = staging.Name();
        script.ExpectPage(m_SourceHTMLText.size());
        return WriteScript(format, LineEnds::CRLF, script, WholeText(m_SourceHTMLText, staging))
            .ReadAs();
    }
    TextStream file = fileSystem.OpenTextFile(m_SourceHTMLFilePath);
    script.ExpectPage(file.SizeWhenOpened());
    const Utf8Check page = WriteScript(format, LineEnds::CRLF, script, PageBlocks(file));
    file.Close();
    return page.ReadAs();
}

const std::string& Converter::ConvertTo(const TargetFormat& format,
                                        const std::string& sSourceHTMLText) {
    TakeSource(sSourceHTMLText);
    ScriptText script;
    const TextEncoding encoding = WriteScriptOfSource(format, script);
    // Every byte the translator adds is 7-bit, so the script's bytes read as
    // the page's do.
    m_ConvertedSource = TextOf(script.Take(), encoding);
    return m_ConvertedSource;
}

void Converter::ConvertToStream(const TargetFormat& format, TextStream& source, TextStream& output,
                                LineEnds lineEnds) {
    ScriptStream script(output);
    WriteScript(format, lineEnds, script, PageBlocks(source, !format.Utf8Label.empty()));
    script.Flush();
}

} // namespace quillomatic
