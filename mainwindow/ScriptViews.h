// What the window shows of each script format, one row per format of the engine.
#pragma once

#include "TargetFormat.h"

#include <QtGlobal>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace quillomatic {

// The toolbar's first button shows the HTML page and the button after it the
// format of row 0 of kScriptViews, and so on; a format of the engine's
// kTargetFormats is shown by adding its row here.
struct ScriptView {
    const TargetFormat* Format;
    // The toolbar button.
    std::string_view ButtonCaption;
    std::string_view Key;
    std::string_view ToolTipText;
    std::string_view Picture; // a picture of the program's resources
    bool WhiteIsTransparent;  // the picture's mask colour is white
    // The label above the script box while the format's script shows.
    std::string_view Caption;
    // The file dialog's filter meanwhile: description and pattern pairs, every
    // element separated by "|".
    std::string_view Filter;
    // Where a conversion run makes this format's script, from 0.
    std::size_t RunPosition;
};

// A row for each format of the engine, in the toolbar's order.
extern const std::array<ScriptView, kTargetFormats.size()> kScriptViews;

// The rows in the order a conversion run makes their scripts.
[[nodiscard]] std::array<std::size_t, kScriptViews.size()> RunOrder();

// The toolbar's button that shows the HTML page.
inline constexpr qint16 kHTMLButton = 1;
// The toolbar's button that shows the script of `row`, and the other way round.
[[nodiscard]] constexpr qint16 ButtonOfRow(std::size_t row) noexcept {
    return static_cast<qint16>(row + 2);
}
[[nodiscard]] constexpr std::optional<std::size_t> RowOfButton(qint16 position) noexcept {
    if (position < 2 || static_cast<std::size_t>(position - 2) >= kScriptViews.size()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(position - 2);
}

} // namespace quillomatic
