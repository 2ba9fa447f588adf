// The system clipboard, for plain text.
#pragma once

#include <QString>

namespace quillomatic::Clipboard {

// Afterwards the clipboard holds exactly `text` as plain text.
void SetText(const QString& text);

} // namespace quillomatic::Clipboard
