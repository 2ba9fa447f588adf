// What quillomatic-convert writes for each page: a script in each format, or
// the page a script prints.
#include "BatchOutputs.h"

#include "Converter.h"
#include "NameQuoting.h"
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
             },
             format});
    }
    return outputs;
}

std::vector<BatchOutput> Pages(const ScriptLanguage* language) {
    return {{"html", [language](const SitePage& page, TextStream& source, TextStream& output) {
                 // The command line has made sure that every script named says its language.
                 const ScriptLanguage* read =
                     language != nullptr ? language : LanguageOfPath(page.Path);
                 if (read == nullptr) {
                     throw std::runtime_error("the language of " + NameQuoting::Quoted(page.Path) +
                                              " cannot be told from its name");
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

std::vector<BatchOutput> Of(const CommandLine& commandLine) {
    return commandLine.ToHtml()
               ? Pages(commandLine.FromLanguage())
               : Scripts(commandLine.Formats(), commandLine.ScriptLineEnds());
}

std::vector<std::string> PageExtensionsOf(const CommandLine& commandLine) {
    return commandLine.ToHtml() ? ScriptExtensionsOf(commandLine.FromLanguage())
                                : std::vector<std::string>{"html", "htm"};
}

} // namespace quillomatic::BatchOutputs
