// The system clipboard, for plain text.
#pragma once

#include <QString>

namespace quillomatic {

class Clipboard {
public:
    // Afterwards the clipboard holds exactly `text` as plain text.
    static void SetText(const QString& text);
};

} // namespace quillomatic
