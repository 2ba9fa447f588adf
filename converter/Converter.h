// The conversion engine: HTML in, script source that prints it again out.
//
// A Converter takes HTML as text (SourceHTMLText) or as the path of a file
// (SourceHTMLFilePath) and turns it into one of five script formats, one print
// statement per source line (see TargetFormat for the formats). Text is staged
// through a file in the current folder and read back like a file given by path,
// so both sources go through the same single-byte reader (FileSystemObject,
// TextStream, CodePage1252). Every failure is raised as a ComponentError; the
// engine never catches one and never talks to the user.
#pragma once

#include "ComponentError.h"
#include "ScriptSink.h"
#include "TargetFormat.h"
#include "TextStream.h"

#include <cstdint>
#include <string>

namespace quillomatic {

class Converter {
public:
    static constexpr const char* kErrorSource = "Vorsk HTML Converter";
    static constexpr std::int32_t kErrorBothSourcesEmpty = 1998862;
    static constexpr std::int32_t kErrorConvertedSourceReadOnly = 1998838;

    // The HTML text to convert; while it is not empty it is the source of every
    // conversion, whatever SourceHTMLFilePath holds.
    [[nodiscard]] const std::string& SourceHTMLText() const noexcept { return m_SourceHTMLText; }
    void SetSourceHTMLText(const std::string& sNewValue) { m_SourceHTMLText = sNewValue; }

    // The file to convert while SourceHTMLText is empty; relative to the current folder.
    [[nodiscard]] const std::string& SourceHTMLFilePath() const noexcept {
        return m_SourceHTMLFilePath;
    }
    void SetSourceHTMLFilePath(const std::string& sNewValue) { m_SourceHTMLFilePath = sNewValue; }

    // The result of the last successful conversion on this object.
    [[nodiscard]] const std::string& ConvertedSource() const noexcept { return m_ConvertedSource; }
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

    // Converts like the five operations, but writes the script to `output` as
    // it is made instead of keeping it, for pages too large to hold in memory
    // with their script: the bytes written are those of the operation's result
    // saved through a TextStream. The page's bytes are translated as they are,
    // never decoded (see StatementTranslator), and the script is written on a
    // thread of its own while the rest is made (see BackgroundWriter), so
    // `output` must not be used elsewhere until this returns. ConvertedSource
    // is left as it was.
    void ConvertToStream(const TargetFormat& format, TextStream& output,
                         const std::string& sSourceHTMLText = {});

private:
    const std::string& Convert(const TargetFormat& format, const std::string& sSourceHTMLText);
    // Stores a non-empty argument and opens the source to read: the text,
    // staged through a file, or else the file at SourceHTMLFilePath.
    TextStream OpenSource(const std::string& sSourceHTMLText);
    static void WriteScript(const TargetFormat& format, TextStream& source, ScriptSink& script);

    std::string m_SourceHTMLText;
    std::string m_SourceHTMLFilePath;
    std::string m_ConvertedSource;
};

} // namespace quillomatic
