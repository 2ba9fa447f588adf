// The system clipboard, for plain text.
#include "Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quillomatic::Clipboard {

void SetText(const QString& text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

} // namespace quillomatic::Clipboard
