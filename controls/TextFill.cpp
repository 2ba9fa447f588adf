// The fill of a text box: the rest of a large text appended while the window is idle.
#include "TextFill.h"

#include "DocumentRoom.h"
#include "LineGroups.h"

#include <QPlainTextEdit>
#include <QTextDocument>
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

} // namespace

TextFill::TextFill(QPlainTextEdit& box) : m_Box(box) {
    m_Timer.setInterval(0);
    connect(&m_Timer, &QTimer::timeout, this, [this] {
        try {
            if (AppendSlice(kSlice)) {
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
    m_Box.document()->setUndoRedoEnabled(false);
    m_Box.setPlainText(text.left(first));
    LineGroups::CountAll(*m_Box.document());
    m_Point = QTextCursor(m_Box.document());
    m_Point.movePosition(QTextCursor::End);
    m_Text = std::move(text);
    m_From = 0;
    MarkStandInsUpTo(first);
    m_From = first;
    m_Before = std::move(before);
    m_Timer.start();
    // Input is still welcome meanwhile; the pointer says that work goes on.
    m_Box.viewport()->setCursor(Qt::BusyCursor);
}

bool TextFill::Finish() {
    if (!IsFilling()) {
        return true;
    }
    try {
        AppendSlice(m_Text.size());
    } catch (const std::bad_alloc&) {
        Abandon();
        return false;
    }
    End();
    return true;
}

void TextFill::Stop() {
    m_Timer.stop();
    m_Text.clear();
    m_From = 0;
    m_Point = QTextCursor();
    m_StandIns.clear();
    m_Before.clear();
    m_Box.document()->setUndoRedoEnabled(true);
    m_Box.viewport()->setCursor(Qt::IBeamCursor);
}

bool TextFill::AppendSlice(qsizetype maximumLength) {
    if (!IsFilling()) {
        return false;
    }
    const qsizetype end = SliceEnd(m_Text, m_From, maximumLength);
    const QStringView slice = QStringView(m_Text).mid(m_From, end - m_From);
    DocumentRoom::Ensure(m_Box.document()->characterCount() + slice.size(),
                         slice.count(QLatin1Char('\n')));
    const int firstBlock = m_Point.blockNumber();
    m_Point.insertText(slice.toString());
    LineGroups::Count(*m_Box.document(), firstBlock, m_Point.blockNumber());
    MarkStandInsUpTo(end);
    m_From = end;
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
