// Texts and paths as the engine takes them: UTF-8 strings and file-name bytes.
#include "EngineText.h"

#include <QFile>
#include <QStringDecoder>

namespace quillomatic::EngineText {

QString ToWindow(std::string_view text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::string Path(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace quillomatic::EngineText
