// Characters a text document would take as line breaks, kept as visible stand-ins.
#include "BlockBreaks.h"

#include <QColor>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace quillomatic::BlockBreaks {
namespace {

// The format property that holds the character a stand-in stands for.
constexpr int kOriginal = QTextFormat::UserProperty + 0x2029;

bool IsBlockBreak(QChar c) {
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QChar(0xFDD0) ||
           c == QChar(0xFDD1);
}

} // namespace

QList<StandIn> Replace(QString& text) {
    QList<StandIn> standIns;
    const auto found = [](QChar c) { return IsBlockBreak(c); };
    // Most texts hold none: they are looked through without being copied.
    if (std::none_of(text.cbegin(), text.cend(), found)) {
        return standIns;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsBlockBreak(text.at(i))) {
            standIns.append({i, text.at(i)});
            text[i] = kStandIn;
        }
    }
    return standIns;
}

void Mark(QTextCursor& cursor, qsizetype start, const QList<StandIn>& standIns) {
    for (const StandIn& standIn : standIns) {
        QTextCharFormat format;
        format.setProperty(kOriginal, QString(standIn.Original));
        format.setForeground(QColor(Qt::gray));
        cursor.setPosition(static_cast<int>(start + standIn.Position));
        cursor.setPosition(static_cast<int>(start + standIn.Position + 1), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
}

QChar OriginalAt(const QTextDocument* document, qsizetype position) {
    if (document->characterAt(static_cast<int>(position)) != kStandIn) {
        return {};
    }
    // The format of the character after the cursor's position.
    QTextCursor cursor(const_cast<QTextDocument*>(document));
    cursor.setPosition(static_cast<int>(position + 1));
    const QString original = cursor.charFormat().property(kOriginal).toString();
    return original.size() == 1 ? original.front() : QChar();
}

} // namespace quillomatic::BlockBreaks
