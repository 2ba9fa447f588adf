// The script formats: their table held to what the engine relies on, their rules put to use.
#include "TargetFormat.h"

#include <algorithm>

namespace quillomatic {

static_assert([] {
    bool translatable = true;
    for (const TargetFormat& format : kTargetFormats) {
        translatable = translatable && RequireTranslatable(format.Rules());
    }
    return translatable;
}());

// The statements are counted where literals are cut (see LiteralCutter).
static_assert(std::ranges::all_of(kTargetFormats, [](const TargetFormat& format) {
    return format.CallsInline == 0 ||
           (format.LiteralLimit > 0 && format.CallsPerMethod > 0 && format.MethodsPerGroup > 0);
}));

std::array<char, 256> TargetFormat::Prefixes() const {
    std::array<char, 256> prefixOf{};
    for (const auto& rules : Rules()) {
        for (const EscapeRule& rule : rules) {
            if (rule.PutsPrefix()) {
                prefixOf[static_cast<unsigned char>(rule.Pattern[0])] = rule.Replacement[0];
            }
        }
    }
    return prefixOf;
}

std::vector<EscapeRule> TargetFormat::Patterns() const {
    std::vector<EscapeRule> patterns;
    for (const auto& rules : Rules()) {
        for (const EscapeRule& rule : rules) {
            if (!rule.PutsPrefix()) {
                patterns.push_back(rule);
            }
        }
    }
    return patterns;
}

std::string Framing(std::string_view framing, LineEnds lineEnds) {
    std::string result(framing);
    if (lineEnds == LineEnds::LF) {
        std::erase(result, '\r');
    }
    return result;
}

void Relabel(std::string& script, TextEncoding savedAs) {
    for (const TargetFormat& format : kTargetFormats) {
        for (const TextEncoding labelled : {TextEncoding::UTF8, TextEncoding::Windows1252}) {
            const std::string_view label = format.LabelFor(labelled);
            if (!label.empty() && script.ends_with(label)) {
                script.replace(script.size() - label.size(), label.size(),
                               format.LabelFor(savedAs));
                return;
            }
        }
    }
}

const TargetFormat& TargetFormat::ASP = kTargetFormats[0];
const TargetFormat& TargetFormat::JavaScript = kTargetFormats[1];
const TargetFormat& TargetFormat::PHP = kTargetFormats[2];
const TargetFormat& TargetFormat::JSP = kTargetFormats[3];
const TargetFormat& TargetFormat::Perl = kTargetFormats[4];

} // namespace quillomatic
