// The fill of a text box: the rest of a large text appended while the window is idle.
#include "TextFill.h"

#include "DocumentRoom.h"
#include "LineGroups.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <algorithm>
#include <malloc.h>
#include <numeric>
#include <new>

namespace quillomatic {
namespace {

// What the box shows at once, and what each idle moment appends: a slice
// takes the widget a few milliseconds, so typing and clicks stay prompt.
constexpr qsizetype kFirstSlice = 64 * 1024;
constexpr qsizetype kSlice = 256 * 1024;

// Where a slice of about `length` characters from `from` should end: after a
// line break, so each slice adds whole lines. A line longer than a slice is
// one slice of its own: appended in parts, it would be laid out again whole
// for every part.
qsizetype SliceEnd(const QString& text, qsizetype from, qsizetype length) {
    const qsizetype limit = std::min(text.size(), from + length);
    if (limit == text.size()) {
        return limit;
    }
    const qsizetype lineEnd = text.lastIndexOf(QLatin1Char('\n'), limit - 1);
    if (lineEnd >= from) {
        return lineEnd + 1;
    }
    const qsizetype longLineEnd = text.indexOf(QLatin1Char('\n'), limit);
    return longLineEnd < 0 ? text.size() : longLineEnd + 1;
}

// The text from `first` on, taken off `text` in slices of whole lines, each
// of about kSlice characters or one longer line. They are cut from the end,
// and the text given back the memory of each as it goes, so the text and its
// slices take little more than the text took, and the fill frees each slice
// as it appends it.
std::deque<QString> SlicesFrom(QString& text, qsizetype first) {
    // Giving back memory is done in place unless the text has room at its
    // start; it then goes in halves, each a copy of what is left.
    const bool shrinksInPlace = text.data_ptr().freeSpaceAtBegin() == 0;
    std::deque<QString> slices;
    while (text.size() > first) {
        const qsizetype end = text.size();
        qsizetype start = first;
        if (end - first > kSlice) {
            start = std::max(first, text.lastIndexOf(QLatin1Char('\n'), end - kSlice - 1) + 1);
        }
        slices.push_front(text.sliced(start));
        text.truncate(start);
        if (shrinksInPlace || text.size() < text.capacity() / 2) {
            text.squeeze();
        }
    }
    return slices;
}

} // namespace

TextFill::TextFill(QPlainTextEdit& box) : m_Box(box) {
    m_Timer.setInterval(0);
    connect(&m_Timer, &QTimer::timeout, this, [this] {
        try {
            if (AppendSlice()) {
                return;
            }
        } catch (const std::bad_alloc&) {
            Abandon();
            return;
        }
        End();
        emit Finished();
    });
}

qsizetype TextFill::FirstSliceEnd(const QString& text) {
    return SliceEnd(text, 0, kFirstSlice);
}

void TextFill::Start(QString text, qsizetype first, QList<BlockBreaks::StandIn> standIns,
                     QString before) {
    m_StandIns = std::move(standIns);
    m_Slices = SlicesFrom(text, first);
    m_Box.document()->setUndoRedoEnabled(false);
    m_Box.setPlainText(text);
    LineGroups::CountAll(*m_Box.document());
    m_Point = QTextCursor(m_Box.document());
    m_Point.movePosition(QTextCursor::End);
    m_From = 0;
    MarkStandInsUpTo(first);
    m_From = first;
    m_Before = std::move(before);
    m_Timer.start();
    // Input is still welcome meanwhile; the pointer says that work goes on.
    m_Box.viewport()->setCursor(Qt::BusyCursor);
}

qsizetype TextFill::ToCome() const {
    return std::accumulate(m_Slices.cbegin(), m_Slices.cend(), qsizetype(0),
                           [](qsizetype sum, const QString& slice) { return sum + slice.size(); });
}

bool TextFill::Finish() {
    if (!IsFilling()) {
        return true;
    }
    try {
        while (AppendSlice()) {
        }
    } catch (const std::bad_alloc&) {
        Abandon();
        return false;
    }
    End();
    return true;
}

void TextFill::Stop() {
    m_Timer.stop();
    m_Slices.clear();
    m_From = 0;
    m_Point = QTextCursor();
    m_StandIns.clear();
    m_Before.clear();
    m_Box.document()->setUndoRedoEnabled(true);
    m_Box.viewport()->setCursor(Qt::IBeamCursor);
}

bool TextFill::AppendSlice() {
    if (!IsFilling()) {
        return false;
    }
    const QString& slice = m_Slices.front();
    DocumentRoom::Ensure(m_Box.document()->characterCount() + slice.size(),
                         slice.count(QLatin1Char('\n')));
    const int firstBlock = m_Point.blockNumber();
    m_Point.insertText(slice);
    LineGroups::Count(*m_Box.document(), firstBlock, m_Point.blockNumber());
    const qsizetype end = m_From + slice.size();
    MarkStandInsUpTo(end);
    m_From = end;
    m_Slices.pop_front();
    // The document grows in large blocks of its own, which never reuse the
    // room a slice leaves: it goes back to the system, or a fill would hold
    // its whole text to the end as well as the document's.
    ::malloc_trim(0);
    return IsFilling();
}

void TextFill::MarkStandInsUpTo(qsizetype end) {
    // The slice from m_From to `end` ends where the fill point stands.
    const qsizetype sliceStart = m_Point.position() - (end - m_From);
    QList<BlockBreaks::StandIn> inSlice;
    while (!m_StandIns.isEmpty() && m_StandIns.front().Position < end) {
        const BlockBreaks::StandIn standIn = m_StandIns.takeFirst();
        inSlice.append({standIn.Position - m_From, standIn.Original});
    }
    if (!inSlice.isEmpty()) {
        QTextCursor cursor(m_Box.document());
        BlockBreaks::Mark(cursor, sliceStart, inSlice);
    }
}

void TextFill::End() {
    Stop();
    m_Box.document()->setModified(false);
}

void TextFill::Abandon() {
    const QString before = std::move(m_Before);
    Stop();
    emit RanOut(before);
}

} // namespace quillomatic
