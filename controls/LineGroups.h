// Lines put in a text box's document a group to a block, to keep its blocks few.
#pragma once

#include <QChar>
#include <QString>

class QTextCursor;
class QTextDocument;

namespace quillomatic::LineGroups {

// Qt's text document spends about 130 bytes on each block, its unit of text,
// beside two bytes a character: on a page of short lines the blocks would
// take more memory than the text. So a box puts a group of lines in each
// block, split by U+2028 LINE SEPARATOR, which a block lays out as a line
// break of its own; a line typed or pasted still makes a block of its own.
// The text the box gives back has a line break at each separator, as at
// each block's end. The page's own U+2028 is held as a stand-in (see
// BlockBreaks), so that every separator in a box is one of these.
inline constexpr QChar kSeparator = QChar::LineSeparator;

// Joins the lines of `text` (LF line breaks, block breaks already stood in
// for) into groups, in place: a line feed inside a group becomes kSeparator.
// A group holds a few dozen lines of a few kilobytes in all, so that the
// block the widget lays out to show one line stays small; a longer line is
// a group of its own.
void Join(QString& text);

// Tells the document how many lines each block from `first` to `last` (block
// numbers) holds, as the widget's scroll bar counts lines before it has laid
// a block out, and has the widget count again. For blocks not laid out yet:
// the widget sets the count of a block it lays out itself.
void Count(QTextDocument& document, int first, int last);
// The same for every block, after the widget laid the whole document out
// afresh (a new width or wrapping), which counts each block as one line.
void CountAll(QTextDocument& document);

// Selects the line `cursor` stands in, with the break that ends it: what a
// triple click selects, which the widget would make the whole block.
void SelectLine(QTextCursor& cursor);

} // namespace quillomatic::LineGroups
