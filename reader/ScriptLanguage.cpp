// The five script languages read back into HTML, in one table: the format
// whose scripts each reads, its file extensions, and its reader.
#include "ScriptLanguage.h"

#include "AspReader.h"
#include "JavaScriptReader.h"
#include "JspReader.h"
#include "PerlReader.h"
#include "PhpReader.h"

#include <cassert>

namespace quillomatic {
namespace {

template <typename Reader>
std::unique_ptr<ScriptLexer> Make(TextStream& script, ScriptSink& html, ReadReport& report) {
    return std::make_unique<Reader>(script, html, report);
}

} // namespace

const std::array<ScriptLanguage, kTargetFormats.size()> kScriptLanguages = {{
    {&TargetFormat::ASP, {"asp"}, &Make<AspReader>},
    {&TargetFormat::JavaScript, {"js"}, &Make<JavaScriptReader>},
    {&TargetFormat::PHP, {"php", "phtml"}, &Make<PhpReader>},
    {&TargetFormat::JSP, {"jsp"}, &Make<JspReader>},
    {&TargetFormat::Perl, {"pl", "cgi", "pm"}, &Make<PerlReader>},
}};

const ScriptLanguage* LanguageOfPath(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = path.substr(slash == std::string_view::npos ? 0 : slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos || dot == 0) {
        return nullptr;
    }
    const std::string_view extension = name.substr(dot + 1);
    for (const ScriptLanguage& language : kScriptLanguages) {
        for (const std::string_view candidate : language.Extensions) {
            if (!candidate.empty() && EqualsIgnoringCase(extension, candidate)) {
                return &language;
            }
        }
    }
    return nullptr;
}

const ScriptLanguage& LanguageOf(const TargetFormat& format) {
    const auto row = static_cast<std::size_t>(&format - kTargetFormats.data());
    assert(row < kScriptLanguages.size() && kScriptLanguages[row].Format == &format);
    return kScriptLanguages[row];
}

std::vector<std::string> ScriptExtensions() {
    std::vector<std::string> extensions;
    for (const ScriptLanguage& language : kScriptLanguages) {
        for (const std::string_view extension : language.Extensions) {
            if (!extension.empty()) {
                extensions.emplace_back(extension);
            }
        }
    }
    return extensions;
}

} // namespace quillomatic
