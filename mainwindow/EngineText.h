// Texts and paths as the engine takes them: UTF-8 strings and file-name bytes.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quillomatic::EngineText {

[[nodiscard]] inline std::string FromWindow(const QString& text) {
    return text.toStdString();
}
// A byte-order mark at the start stays, as the character U+FEFF, so a page
// saved again keeps it.
[[nodiscard]] QString ToWindow(std::string_view text);
// A path from a file dialog, in the encoding the file system uses.
[[nodiscard]] std::string Path(const QString& path);

} // namespace quillomatic::EngineText
