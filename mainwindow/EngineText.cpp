// Texts and paths as the engine takes them: UTF-8 strings and file-name bytes.
#include "EngineText.h"

#include <QFile>
#include <QStringDecoder>

namespace quillomatic::EngineText {

QString ToWindow(std::string_view text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

QString ToWindowWithLineFeeds(std::string_view text) {
    QString result = ToWindow(text);
    QChar* const begin = result.data();
    const QChar* const end = begin + result.size();
    QChar* out = begin;
    for (const QChar* in = begin; in != end; ++in) {
        if (*in != QLatin1Char('\r') || in + 1 == end || in[1] != QLatin1Char('\n')) {
            *out++ = *in;
        }
    }
    result.truncate(out - begin);
    return result;
}

std::string Path(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace quillomatic::EngineText
