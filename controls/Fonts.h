// The three typefaces of the windows, with free fallbacks where they are not installed.
#pragma once

#include <QFont>

namespace quillomatic {

// Each face is asked for by family, with fallbacks that Debian's free font
// packages provide, so a machine with Verdana, Courier or Silkscreen shows
// them and any other shows the nearest free face.
namespace Fonts {

// The windows' text face: Verdana, else DejaVu Sans.
[[nodiscard]] QFont Verdana(qreal pointSize, bool bold = false, bool underline = false);
// The text boxes' face: Courier, else a free monospaced face.
[[nodiscard]] QFont Courier(qreal pointSize);
// The title-bar buttons' tiny face: Silkscreen, else a small bold sans.
[[nodiscard]] QFont Silkscreen(qreal pointSize);

} // namespace Fonts

} // namespace quillomatic
