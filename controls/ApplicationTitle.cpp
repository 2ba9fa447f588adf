// The product name, shown in every title bar and used as the message box's default title.
#include "ApplicationTitle.h"

namespace quillomatic {

QString AppTitle() {
    return QStringLiteral("Quillomatic");
}

} // namespace quillomatic
