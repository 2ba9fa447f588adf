// The three typefaces of the windows, with free fallbacks where they are not installed.
#include "Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace quillomatic {
namespace {

QFont FontOf(const QStringList& families, QFont::StyleHint hint, qreal pointSize) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

namespace Fonts {

QFont Verdana(qreal pointSize, bool bold, bool underline) {
    QFont font = FontOf({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                         QStringLiteral("Liberation Sans")},
                        QFont::SansSerif, pointSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QFont Courier(qreal pointSize) {
    QFont font = FontOf({QStringLiteral("Courier"), QStringLiteral("Courier New"),
                         QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")},
                        QFont::Monospace, pointSize);
    font.setFixedPitch(true);
    return font;
}

QFont Silkscreen(qreal pointSize) {
    QFont font = FontOf({QStringLiteral("Silkscreen"), QStringLiteral("DejaVu Sans"),
                         QStringLiteral("Liberation Sans")},
                        QFont::SansSerif, pointSize);
    // Silkscreen is a heavy pixel face of its own; a plain sans standing in for
    // it at this size needs bold to read as well.
    font.setBold(!QFontDatabase::hasFamily(QStringLiteral("Silkscreen")));
    return font;
}

} // namespace Fonts
} // namespace quillomatic
