// The five script formats: what frames the statements and how a line is escaped.
#pragma once

#include "LineEscaper.h"

#include <string_view>

namespace quillomatic {

// A converted script is Header, then for every source line Opener, the escaped
// line, Closer and CR LF, then Footer. Opener ends with a double quote and
// Closer holds the matching one, so every escaped line stands inside one
// double-quoted string literal.
struct TargetFormat {
    std::string_view Name;
    std::string_view Header;
    std::string_view Opener;
    const LineEscaper& Escaper;
    std::string_view Closer;
    std::string_view Footer;

    static const TargetFormat JavaScript;
    static const TargetFormat JSP;
    static const TargetFormat PHP;
    static const TargetFormat Perl;
    static const TargetFormat ASP;
};

} // namespace quillomatic
