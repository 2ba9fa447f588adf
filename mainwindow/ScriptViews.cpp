// What the window shows of each script format, one row per format of the engine.
#include "ScriptViews.h"

namespace quillomatic {

// A run goes ASP, PHP, JavaScript, JSP, Perl, not in the toolbar's order: a
// run that fails part-way keeps the results of the formats before it.
const std::array<ScriptView, kTargetFormats.size()> kScriptViews = {{
    {&TargetFormat::ASP, "ASP", "ASP", "ASP", ":/pictures/ToolbarASP.svg", true,
     "ASP Source:", "ASP Files (*.ASP)|* .ASP", 0},
    {&TargetFormat::JavaScript, "JS", "javalogo52x88", "javalogo52x88",
     ":/pictures/ToolbarJavaScript.svg", true,
     "JavaScript Source:", "JavaScript Files (*.JS)|* .JS", 2},
    {&TargetFormat::PHP, "PHP", "PHP", "PHP", ":/pictures/ToolbarPHP.svg", true,
     "PHP Source:", "PHP Files (*.PHP)|* .PHP", 1},
    {&TargetFormat::JSP, "JSP", "JavaCup", "JavaCup", ":/pictures/ToolbarJSP.svg", false,
     "JSP Source:", "JSP Files (*.JSP)|* .JSP", 3},
    {&TargetFormat::Perl, "Perl", "Perl", "Perl", ":/pictures/ToolbarPerl.svg", true,
     "Perl Source:", "Perl Files (*.PL)|* .PL", 4},
}};

std::array<std::size_t, kScriptViews.size()> RunOrder() {
    std::array<std::size_t, kScriptViews.size()> rows{};
    for (std::size_t row = 0; row < kScriptViews.size(); ++row) {
        rows.at(kScriptViews[row].RunPosition) = row;
    }
    return rows;
}

} // namespace quillomatic
