// The five script languages read back into HTML, in one table: the format
// whose scripts each reads, its file extensions, and its reader.
#pragma once

#include "TargetFormat.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillomatic {

class ReadReport;
class ScriptLexer;
class ScriptSink;
class TextStream;

struct ScriptLanguage {
    // The format of the same language: its Name ("PHP") and its words on the
    // command line (its CommandName and Extension) name the language too.
    const TargetFormat* Format;
    // The extensions of its scripts, without the dot; the format's own first.
    std::array<std::string_view, 3> Extensions;
    // The reader of a script in the language.
    std::unique_ptr<ScriptLexer> (*MakeReader)(TextStream& script, ScriptSink& html,
                                               ReadReport& report);
};

// A row for each format, in the order of kTargetFormats.
extern const std::array<ScriptLanguage, kTargetFormats.size()> kScriptLanguages;

// The language of a script by its file name's extension, in any letter
// case; nullptr where none has it.
[[nodiscard]] const ScriptLanguage* LanguageOfPath(std::string_view path);
// The language of a format of kTargetFormats: its row.
[[nodiscard]] const ScriptLanguage& LanguageOf(const TargetFormat& format);
// The extensions of every language, without the dots, in the table's order.
[[nodiscard]] std::vector<std::string> ScriptExtensions();

} // namespace quillomatic
