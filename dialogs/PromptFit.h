// Prompts that fit the message box's label whole: long paths give up their folder's start.
#pragma once

#include <QFontMetrics>
#include <QSize>
#include <QString>

namespace quillomatic::PromptFit {

// Whether `text`, word-wrapped as a label wraps it, fits within `area`.
[[nodiscard]] bool Fits(const QString& text, const QFontMetrics& metrics, QSize area);

// `text` with each quoted path ("/srv/www/page.php") shortened with "…", as
// little as needed for the whole text to fit `area`: the folder gives up its
// start and keeps its end, and the file name stays, unless the name alone is
// too long, when it loses its middle too, keeping its start and extension.
// Everything outside the quotes, such as the reason a file command failed,
// is kept as it is. A text that fits, or holds no path, comes back unchanged.
[[nodiscard]] QString ShortenPaths(const QString& text, const QFontMetrics& metrics, QSize area);

} // namespace quillomatic::PromptFit
