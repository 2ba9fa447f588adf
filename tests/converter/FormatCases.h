// The five formats as the engine's tests go through them, with what each test needs to know.
#pragma once

#include "Converter.h"
#include "TargetFormat.h"

#include <ostream>
#include <string>

namespace quillomatic::testing {

using Operation = const std::string& (Converter::*)(const std::string&);

struct FormatCase {
    const char* name;
    Operation convert;
    const TargetFormat& format;      // its extension names the golden script in data/
    std::size_t workedExampleLength; // characters of the worked example's script
    std::size_t emptyLength;         // characters of an empty page's script
};

inline const FormatCase kFormatCases[] = {
    {"JavaScript", &Converter::ConvertToJavaScript, TargetFormat::JavaScript, 175, 97},
    {"JSP", &Converter::ConvertToJSP, TargetFormat::JSP, 117, 49},
    {"PHP", &Converter::ConvertToPHP, TargetFormat::PHP, 109, 52},
    {"Perl", &Converter::ConvertToPerl, TargetFormat::Perl, 101, 42},
    {"ASP", &Converter::ConvertToASP, TargetFormat::ASP, 135, 48},
};

inline std::ostream& operator<<(std::ostream& out, const FormatCase& format) {
    return out << format.name;
}

} // namespace quillomatic::testing
