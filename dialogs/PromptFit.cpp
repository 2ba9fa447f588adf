// Prompts that fit the message box's label whole: long paths give up their folder's start.
#include "PromptFit.h"

#include <QRegularExpression>

namespace quillomatic::PromptFit {
namespace {

const QChar kEllipsis(0x2026);

// `text` keeping `kept` of its characters: the first half and the last.
QString WithoutMiddle(const QString& text, qsizetype kept) {
    const qsizetype tail = kept / 2;
    return text.left(kept - tail) + kEllipsis + text.right(tail);
}

// The most characters `shortened(n)` may keep, 0 to `most`, for `fits` to
// hold; -1 when even none is too many. The text needs more room the more it
// keeps, so the answer is searched by halves.
template <typename Shortened, typename Fitting>
qsizetype MostKept(qsizetype most, const Shortened& shortened, const Fitting& fits) {
    if (!fits(shortened(0))) {
        return -1;
    }
    qsizetype low = 0;
    qsizetype high = most;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (fits(shortened(middle))) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

// `path` shortened as little as needed for `fits` to hold of it, or as much
// as it can be.
template <typename Fitting> QString ShortenedPath(const QString& path, const Fitting& fits) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash);
    const QString name = path.mid(slash); // with its slash
    // The folder keeps its end, the folders nearest the file, where a folder
    // that is missing or locked usually is: as many whole folder names as fit.
    const auto withFolderEnd = [&](qsizetype kept) {
        return kEllipsis + folder.right(kept) + name;
    };
    const qsizetype folderKept =
        folder.isEmpty() ? -1 : MostKept(folder.size() - 1, withFolderEnd, fits);
    if (folderKept >= 0) {
        const qsizetype firstWholeFolder =
            folder.indexOf(QLatin1Char('/'), folder.size() - folderKept);
        return withFolderEnd(firstWholeFolder < 0 ? 0 : folder.size() - firstWholeFolder);
    }
    // The file name alone is too long: it loses its middle too, keeping its
    // start and its extension.
    const auto withoutNameMiddle = [&](qsizetype kept) {
        return kEllipsis + QLatin1Char('/') + WithoutMiddle(name.mid(1), kept);
    };
    return withoutNameMiddle(
        std::max<qsizetype>(0, MostKept(name.size() - 2, withoutNameMiddle, fits)));
}

} // namespace

bool Fits(const QString& text, const QFontMetrics& metrics, QSize area) {
    const QRect needed =
        metrics.boundingRect(QRect(0, 0, area.width(), 100 * area.height() + 1000),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    return needed.width() <= area.width() && needed.height() <= area.height();
}

QString ShortenPaths(const QString& text, const QFontMetrics& metrics, QSize area) {
    static const QRegularExpression quotedPath(QStringLiteral("\"([^\"\\n]*/[^\"\\n]*)\""));
    QString result = text;
    for (;;) {
        if (Fits(result, metrics, area)) {
            return result;
        }
        // The longest path not yet shortened goes first.
        QRegularExpressionMatch longest;
        QRegularExpressionMatchIterator matches = quotedPath.globalMatch(result);
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            if (!match.captured(1).contains(kEllipsis) &&
                match.capturedLength(1) > longest.capturedLength(1)) {
                longest = match;
            }
        }
        if (!longest.hasMatch()) {
            return result;
        }
        const qsizetype start = longest.capturedStart(1);
        const qsizetype length = longest.capturedLength(1);
        const auto fits = [&](const QString& path) {
            return Fits(QString(result).replace(start, length, path), metrics, area);
        };
        result.replace(start, length, ShortenedPath(longest.captured(1), fits));
    }
}

} // namespace quillomatic::PromptFit
