// What quillomatic-convert writes for each page: a script in each format, or
// the page a script prints.
#include "BatchOutputs.h"

#include "Converter.h"
#include "ScriptReader.h"
#include "TextStream.h"

#include <stdexcept>

namespace quillomatic::BatchOutputs {

std::vector<BatchOutput> Scripts(const std::vector<const TargetFormat*>& formats,
                                 LineEnds lineEnds) {
    std::vector<BatchOutput> outputs;
    for (const TargetFormat* format : formats) {
        outputs.push_back(
            {format->Extension,
             [format, lineEnds](const SitePage& /*page*/, TextStream& source, TextStream& output) {
                 Converter::ConvertToStream(*format, source, output, lineEnds);
                 return std::vector<std::string>();
             }});
    }
    return outputs;
}

std::vector<BatchOutput> Pages(const ScriptLanguage* language) {
    return {{"html", [language](const SitePage& page, TextStream& source, TextStream& output) {
                 // The command line has made sure that every script named says its language.
                 const ScriptLanguage* read =
                     language != nullptr ? language : LanguageOfPath(page.Path);
                 if (read == nullptr) {
                     throw std::runtime_error("the language of \"" + page.Path +
                                              "\" cannot be told from its name");
                 }
                 return ScriptReader::ReadToStream(*read, source, output).Lines(page.Path);
             }}};
}

std::vector<std::string> ScriptExtensionsOf(const ScriptLanguage* language) {
    if (language == nullptr) {
        return ScriptExtensions();
    }
    std::vector<std::string> extensions;
    for (const std::string_view extension : language->Extensions) {
        if (!extension.empty()) {
            extensions.emplace_back(extension);
        }
    }
    return extensions;
}

} // namespace quillomatic::BatchOutputs
