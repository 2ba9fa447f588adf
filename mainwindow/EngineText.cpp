// Texts and paths as the engine takes them: UTF-8 strings and file-name bytes.
#include "EngineText.h"

#include <QFile>

namespace quillomatic::EngineText {

std::string Path(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace quillomatic::EngineText
