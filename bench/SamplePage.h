// Pages of a given size and shape, for measuring the converter.
#pragma once

#include <cstddef>
#include <string>

namespace quillomatic::bench {

enum class PageShape {
    Mixed,       // realistic markup: quotes, backslashes, "$", "@", "</script", "%>", tabs,
                 // empty lines, CR LF and LF
    ShortLines,  // many lines of a few characters
    OneLongLine, // a minified page: everything on one line
    AllEscapes,  // every character a quote or a backslash
};

// A page of about `bytes` bytes (UTF-8, Windows-1252 characters only).
[[nodiscard]] std::string MakePage(PageShape shape, std::size_t bytes);

} // namespace quillomatic::bench
