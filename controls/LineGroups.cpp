// Lines put in a text box's document a group to a block, to keep its blocks few.
#include "LineGroups.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace quillomatic::LineGroups {
namespace {

// A block of this size is laid out in well under a millisecond, and the
// document then spends about 2 bytes a line on blocks instead of 130.
constexpr qsizetype kLinesPerGroup = 64;
constexpr qsizetype kCharactersPerGroup = 4096;

// Whether `block` may hold several lines. A longer one is a line of its own,
// unless the user joined it to a group; reading its text would copy a whole
// long line.
bool MayHoldLines(const QTextBlock& block) {
    return block.length() <= kCharactersPerGroup + 1;
}

} // namespace

void Join(QString& text) {
    QChar* const begin = text.data();
    const qsizetype size = text.size();
    qsizetype groupStart = 0;
    qsizetype linesInGroup = 1;
    for (qsizetype lineStart = 0; lineStart < size;) {
        const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0) {
            return;
        }
        // The line break that ends this line is the group's end, or a separator.
        const qsizetype next = text.indexOf(QLatin1Char('\n'), lineEnd + 1);
        const qsizetype nextEnd = next < 0 ? size : next;
        if (linesInGroup < kLinesPerGroup && nextEnd - groupStart <= kCharactersPerGroup) {
            begin[lineEnd] = kSeparator;
            ++linesInGroup;
        } else {
            groupStart = lineEnd + 1;
            linesInGroup = 1;
        }
        lineStart = lineEnd + 1;
    }
}

void Count(QTextDocument& document, int first, int last) {
    for (QTextBlock block = document.findBlockByNumber(first);
         block.isValid() && block.blockNumber() <= last; block = block.next()) {
        // A long block joined to a group by the user counts short until it
        // is laid out, as a wrapped line does.
        const int lines =
            MayHoldLines(block) ? static_cast<int>(block.text().count(kSeparator)) + 1 : 1;
        if (block.lineCount() != lines) {
            block.setLineCount(lines);
        }
    }
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    emit layout->documentSizeChanged(layout->documentSize());
}

void CountAll(QTextDocument& document) {
    Count(document, 0, document.blockCount() - 1);
}

void SelectLine(QTextCursor& cursor) {
    const QTextBlock block = cursor.block();
    qsizetype start = 0;
    qsizetype end = block.length() - 1;
    if (MayHoldLines(block)) {
        const QString text = block.text();
        const qsizetype at = cursor.positionInBlock();
        start = at == 0 ? 0 : text.lastIndexOf(kSeparator, at - 1) + 1;
        const qsizetype separator = text.indexOf(kSeparator, at);
        end = separator < 0 ? text.size() : separator;
    }
    const int last = cursor.document()->characterCount() - 1;
    cursor.setPosition(block.position() + static_cast<int>(start));
    cursor.setPosition(std::min(block.position() + static_cast<int>(end) + 1, last),
                       QTextCursor::KeepAnchor);
}

} // namespace quillomatic::LineGroups
