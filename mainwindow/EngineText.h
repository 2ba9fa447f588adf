// Texts and paths as the engine takes them: UTF-8 strings and file-name bytes.
#pragma once

#include <QString>
#include <string>

namespace quillomatic {

class EngineText {
public:
    [[nodiscard]] static std::string FromWindow(const QString& text) { return text.toStdString(); }
    [[nodiscard]] static QString ToWindow(const std::string& text) {
        return QString::fromStdString(text);
    }
    // A path from a file dialog, in the encoding the file system uses.
    [[nodiscard]] static std::string Path(const QString& path);
};

} // namespace quillomatic
