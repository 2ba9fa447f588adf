// Texts and paths as the engine takes them: UTF-8 strings and file-name bytes.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quillomatic::EngineText {

[[nodiscard]] inline std::string FromWindow(const QString& text) {
    return text.toStdString();
}
[[nodiscard]] inline QString ToWindow(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
// A path from a file dialog, in the encoding the file system uses.
[[nodiscard]] std::string Path(const QString& path);

} // namespace quillomatic::EngineText
