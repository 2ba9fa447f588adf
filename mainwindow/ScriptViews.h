// What the window shows of each script format, one row per format of the engine.
#pragma once

#include "TargetFormat.h"

#include <QtGlobal>
#include <array>
#include <cstddef>
#include <string_view>

namespace quillomatic {

// Views are numbered as the toolbar shows them: view 0 is the HTML page, and
// the format of row r of kScriptViews is view r + 1. The toolbar's button at
// 1-based position n shows view n - 1. A format of the engine's kTargetFormats
// is shown by adding its row here.
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

[[nodiscard]] constexpr qint16 ViewOf(std::size_t row) noexcept {
    return static_cast<qint16>(row + 1);
}
// The row of a script view (1 and up).
[[nodiscard]] constexpr std::size_t RowOf(qint16 view) noexcept {
    return static_cast<std::size_t>(view - 1);
}
[[nodiscard]] constexpr qint16 ToolbarButtonOf(qint16 view) noexcept {
    return static_cast<qint16>(view + 1);
}
[[nodiscard]] constexpr qint16 ViewOfToolbarButton(qint16 position) noexcept {
    return static_cast<qint16>(position - 1);
}

} // namespace quillomatic
