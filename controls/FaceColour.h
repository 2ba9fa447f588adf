// The classic face colour of the program's windows and title-bar buttons.
#pragma once

#include <QColor>

namespace quillomatic {

// The pictures drawn "on grey" are made for it.
inline constexpr QColor kFaceColour(0xD4, 0xD0, 0xC8);

} // namespace quillomatic
