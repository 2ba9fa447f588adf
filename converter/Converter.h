// The conversion engine: HTML in, script source that prints it again out.
//
// A Converter takes HTML as text (SourceHTMLText) or as the path of a file
// (SourceHTMLFilePath) and turns it into one of five script formats, one print
// statement per source line (see TargetFormat for the formats). Every
// conversion goes one way: the page's bytes are read a block at a time, from
// the file (TextStream, through a PageReader that turns a UTF-16 page into
// UTF-8) or from the text as it is staged through a file in the Converter's
// staging folder (StagingFile), and translated into the bytes of the script
// (StatementTranslator), which go either into text in memory (ScriptText) or,
// as they are made, into a file (ScriptStream). What the page's bytes were is
// known at its end, where a format may label the script with their encoding.
// Every failure is raised as a ComponentError; the engine never catches one
// and never talks to the user.
#pragma once

#include "ComponentError.h"
#include "TargetFormat.h"
#include "TextEncoding.h"
#include "TextStream.h"

#include <cstdint>
#include <string>
#include <utility>

namespace quillomatic {

class ScriptSink;

class Converter {
public:
    static constexpr const char* kErrorSource = "Vorsk HTML Converter";
    static constexpr std::int32_t kErrorBothSourcesEmpty = 1998862;
    static constexpr std::int32_t kErrorConvertedSourceReadOnly = 1998838;

    // Stages its conversions of text in `stagingFolder`, or in the current
    // folder when it is empty.
    explicit Converter(std::string stagingFolder = {});

    // The HTML text to convert; while it is not empty it is the source of every
    // conversion, whatever SourceHTMLFilePath holds.
    [[nodiscard]] const std::string& SourceHTMLText() const noexcept { return m_SourceHTMLText; }
    // Taken by value: a caller that moves its text in keeps no second copy.
    void SetSourceHTMLText(std::string sNewValue);

    // The file to convert while SourceHTMLText is empty; relative to the current folder.
    [[nodiscard]] const std::string& SourceHTMLFilePath() const noexcept {
        return m_SourceHTMLFilePath;
    }
    void SetSourceHTMLFilePath(const std::string& sNewValue) { m_SourceHTMLFilePath = sNewValue; }

    // The staging file the last conversion made, by its path (its bare name
    // in the current folder); empty when it made none. The engine leaves it,
    // for an owner that removes it once it is done.
    [[nodiscard]] const std::string& StagingFileName() const noexcept { return m_StagingFileName; }

    // The result of the last successful conversion on this object.
    [[nodiscard]] const std::string& ConvertedSource() const noexcept { return m_ConvertedSource; }
    // The same, moved out, for an owner that keeps the results of a run: the
    // object keeps no copy (ConvertedSource is empty after it).
    [[nodiscard]] std::string TakeConvertedSource() noexcept { return std::move(m_ConvertedSource); }
    // Always fails: the result is read-only.
    [[noreturn]] void SetConvertedSource(const std::string& sNewValue);

    // Each converts the source into its format. A non-empty argument first
    // becomes SourceHTMLText and stays there; an empty one converts what the
    // object holds. The result is returned and kept as ConvertedSource; the
    // reference stays valid until the next conversion on this object.
    const std::string& ConvertToJavaScript(const std::string& sSourceHTMLText = {});
    const std::string& ConvertToJSP(const std::string& sSourceHTMLText = {});
    const std::string& ConvertToPHP(const std::string& sSourceHTMLText = {});
    const std::string& ConvertToPerl(const std::string& sSourceHTMLText = {});
    const std::string& ConvertToASP(const std::string& sSourceHTMLText = {});
    // The same for a format of the table, for callers that go through all five.
    const std::string& ConvertTo(const TargetFormat& format,
                                 const std::string& sSourceHTMLText = {});

    // Converts the page read from `source` (a file or a pipe) as it arrives
    // and writes the script to `output` as it is made, for pages too large to
    // hold in memory with their script: the bytes written are those of the
    // five operations' result for that page, saved through a TextStream. The
    // script is written on a thread of its own while the rest is made (see
    // BackgroundWriter), so `output` must not be used elsewhere until this
    // returns. With LineEnds::LF the script's own line breaks are LF.
    static void ConvertToStream(const TargetFormat& format, TextStream& source, TextStream& output,
                                LineEnds lineEnds = LineEnds::CRLF);

private:
    // Stores a non-empty argument and makes sure there is something to convert.
    void TakeSource(const std::string& sSourceHTMLText);
    // Makes the script of the text, staged through a file, or else of the
    // file at SourceHTMLFilePath; returns how the page's bytes read.
    TextEncoding WriteScriptOfSource(const TargetFormat& format, ScriptSink& script);

    std::string m_StagingFolder;
    std::string m_SourceHTMLText;
    std::string m_SourceHTMLFilePath;
    std::string m_ConvertedSource;
    std::string m_StagingFileName;
};

} // namespace quillomatic
