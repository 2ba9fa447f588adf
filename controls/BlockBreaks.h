// Characters a text document would take as line breaks, kept as visible stand-ins.
#pragma once

#include <QChar>
#include <QList>
#include <QString>

class QTextCursor;
class QTextDocument;

namespace quillomatic::BlockBreaks {

// Qt's text document ends a line not only at a line feed but also at U+2029
// PARAGRAPH SEPARATOR and at U+FDD0 and U+FDD1, which it uses for frames: a
// page line holding one of them would come back as two lines. U+2028 LINE
// SEPARATOR is the break between the lines a block holds (see LineGroups).
// So a box holds
// each of them as the character "⁋", greyed and marked with the character it
// stands for, and gives that character back wherever its text is read. A "⁋"
// the page holds itself carries no mark and stays what it is.
inline constexpr QChar kStandIn = QChar(0x204B);

struct StandIn {
    qsizetype Position;
    QChar Original;
};

// Replaces each such character of `text` by kStandIn; where they were.
[[nodiscard]] QList<StandIn> Replace(QString& text);
// Marks the stand-ins of text inserted at `start` with `cursor`'s document,
// whose positions count from that start; moves `cursor`.
void Mark(QTextCursor& cursor, qsizetype start, const QList<StandIn>& standIns);
// The character the stand-in at `position` of `document` stands for; a null
// QChar when that position holds no stand-in.
[[nodiscard]] QChar OriginalAt(const QTextDocument* document, qsizetype position);

} // namespace quillomatic::BlockBreaks
