// The product name, shown in every title bar and used as the message box's default title.
#pragma once

#include <QString>

namespace quillomatic {

[[nodiscard]] QString AppTitle();

} // namespace quillomatic
