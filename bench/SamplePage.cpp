// Pages of a given size and shape, for measuring the converter.
#include "SamplePage.h"

#include <array>
#include <string_view>

namespace quillomatic::bench {
namespace {

constexpr std::array<std::string_view, 13> kMixedLines = {
    "<div class=\"product\" id=\"item-42\" data-price=\"$19.99\">",
    "\t<a href=\"mailto:sales@example.com\" title='Write to us'>Contact</a>",
    "  <p>Path: C:\\inetpub\\wwwroot\\shop\\index.asp &amp; more text here</p>",
    "",
    "<script>var total = \"$\" + price.toFixed(2); // caf\xC3\xA9 \xE2\x82\xAC</script>",
    "<table border=\"0\" cellpadding=\"2\"><tr><td>Price</td><td>$5</td></tr></table>",
    "    <img src=\"/images/logo.gif\" alt=\"Logo\" width=\"120\" height=\"60\">",
    "<!-- navigation starts here -->",
    "<ul><li><a href=\"/\">Home</a></li><li><a href=\"/about\">About</a></li></ul>",
    "\t\t<input type=\"text\" name=\"q\" value=\"\" size=\"30\">",
    "<p style=\"font-family: Verdana\">Na\xC3\xAFve r\xC3\xA9sum\xC3\xA9 \xE2\x80\x93 "
    "\"quoted\"</p>",
    "<table width=100%><tr><td width=50%>Total</td><td>&euro; 12,50</td></tr></table>",
    "</div>",
};

} // namespace

std::string MakePage(PageShape shape, std::size_t bytes) {
    std::string page;
    page.reserve(bytes + 256);
    std::size_t line = 0;
    switch (shape) {
    case PageShape::Mixed:
        while (page.size() < bytes) {
            page += kMixedLines[line % kMixedLines.size()];
            page += line % 3 == 0 ? "\n" : "\r\n";
            ++line;
        }
        break;
    case PageShape::ShortLines:
        while (page.size() < bytes) {
            page += line++ % 2 ? "<br>\n" : "<p>\n";
        }
        break;
    case PageShape::OneLongLine:
        while (page.size() < bytes) {
            for (const auto& markup : kMixedLines) {
                page += markup;
            }
        }
        break;
    case PageShape::AllEscapes:
        while (page.size() < bytes) {
            page += "\"\\\"\\\\\"\"\\\r\n";
        }
        break;
    }
    return page;
}

} // namespace quillomatic::bench
