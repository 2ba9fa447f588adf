// A multi-line text box whose text uses CR LF line breaks, the program's convention.
#include "TextBox.h"

#include "BlockBreaks.h"
#include "DocumentRoom.h"
#include "LineGroups.h"

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cstring>
#include <new>

namespace quillomatic {
namespace {

// Longer lines are wrapped at the box's width, in the view only. The widget
// lays out a line whole, and unwrapped that costs about 0.5 s a megabyte,
// twice what it costs wrapped; nobody reads such a line by scrolling sideways.
constexpr qsizetype kLongLine = 16 * 1024;

// CR LF and a lone CR become LF, in one pass (the widget would read CR LF as
// two line breaks). In place: a large text of its own, as a loaded page or a
// script is, gets no second copy; one shared with the caller is copied, as
// the caller's must stay as it was.
QString WithLineFeeds(QString text) {
    const qsizetype first = text.indexOf(QLatin1Char('\r'));
    if (first < 0) {
        return text;
    }
    QChar* const begin = text.data();
    const QChar* const end = begin + text.size();
    QChar* out = begin + first;
    for (const QChar* in = out; in != end; ++in) {
        if (*in == QLatin1Char('\r')) {
            *out++ = QLatin1Char('\n');
            if (in + 1 != end && in[1] == QLatin1Char('\n')) {
                ++in;
            }
        } else {
            *out++ = *in;
        }
    }
    text.truncate(out - begin);
    return text;
}

// Appends the text of `block` as the box gives it: the separators between
// its lines, and its end unless it is the document's last block, as CR LF;
// stand-ins give back what they stand for. The block's own text keeps every
// character (toPlainText would turn no-break spaces into blanks).
void AppendTextOf(const QTextBlock& block, QString& text) {
    const QString raw = block.text();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == LineGroups::kSeparator) {
            text += QLatin1String("\r\n");
        } else if (c == BlockBreaks::kStandIn) {
            const QChar original = BlockBreaks::OriginalAt(block.document(), block.position() + i);
            text += original.isNull() ? c : original;
        } else {
            text += c;
        }
    }
    if (block.next().isValid()) {
        text += QLatin1String("\r\n");
    }
}

// Whether a line of `text` (LF line breaks) is longer than kLongLine.
bool HasLongLine(const QString& text) {
    qsizetype lineStart = 0;
    for (;;) {
        const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), lineStart);
        if ((lineEnd < 0 ? text.size() : lineEnd) - lineStart > kLongLine) {
            return true;
        }
        if (lineEnd < 0) {
            return false;
        }
        lineStart = lineEnd + 1;
    }
}

// What the user does to a box: each of these must find the whole text there.
bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}

} // namespace

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent), m_Fill(*this) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &TextBox::Change);
    connect(&m_Fill, &TextFill::RanOut, this, [this](const QString& before) {
        Restore(before);
        QMetaObject::invokeMethod(this, &TextBox::FillFailed, Qt::QueuedConnection);
    });
    // Input reaches the box itself (keys), its viewport (the mouse, drops)
    // and its scroll bars.
    for (QObject* target : std::initializer_list<QObject*>{this, viewport(), verticalScrollBar(),
                                                           horizontalScrollBar()}) {
        target->installEventFilter(this);
    }
}

bool TextBox::eventFilter(QObject* watched, QEvent* event) {
    // No user action sees a box still filling: the rest of the text goes in
    // first, so a key, click, scroll, copy or drop acts on the whole text.
    if (IsFilling() && IsUserInput(event->type())) {
        FinishFilling();
    }
    return QPlainTextEdit::eventFilter(watched, event);
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = WithLineFeeds(source->text());
    if (lineWrapMode() == NoWrap && HasLongLine(text)) {
        setLineWrapMode(WidgetWidth);
        LineGroups::CountAll(*document());
    }
    const QList<BlockBreaks::StandIn> standIns = BlockBreaks::Replace(text);
    if (standIns.isEmpty()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // One edit, undone as one.
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(text);
    const qsizetype end = cursor.position();
    BlockBreaks::Mark(cursor, end - text.size(), standIns);
    cursor.setPosition(static_cast<int>(end));
    cursor.endEditBlock();
    setTextCursor(cursor);
}

QMimeData* TextBox::createMimeDataFromSelection() const {
    QMimeData* copied = QPlainTextEdit::createMimeDataFromSelection();
    const QTextCursor selection = textCursor();
    QString text = copied->text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == BlockBreaks::kStandIn) {
            if (const QChar original =
                    BlockBreaks::OriginalAt(document(), selection.selectionStart() + i);
                !original.isNull()) {
                text[i] = original;
            }
        }
    }
    copied->setText(text);
    return copied;
}

void TextBox::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    if (event->oldSize().width() != event->size().width()) {
        LineGroups::CountAll(*document());
    }
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    m_SinceDoubleClick.start();
    m_DoubleClickAt = event->position().toPoint();
}

void TextBox::mousePressEvent(QMouseEvent* event) {
    const bool thirdClick =
        event->button() == Qt::LeftButton && m_SinceDoubleClick.isValid() &&
        m_SinceDoubleClick.elapsed() < QApplication::doubleClickInterval() &&
        (event->position().toPoint() - m_DoubleClickAt).manhattanLength() <
            QApplication::startDragDistance();
    QPlainTextEdit::mousePressEvent(event);
    m_ClickedLine.reset();
    if (thirdClick) {
        m_SinceDoubleClick.invalidate();
        QTextCursor line = cursorForPosition(event->position().toPoint());
        LineGroups::SelectLine(line);
        setTextCursor(line);
        m_ClickedLine = {line.selectionStart(), line.selectionEnd()};
    }
}

void TextBox::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    if (!m_ClickedLine || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    // From the clicked line to the whole line under the pointer, either way.
    QTextCursor line = cursorForPosition(event->position().toPoint());
    LineGroups::SelectLine(line);
    const auto [clickedStart, clickedEnd] = *m_ClickedLine;
    QTextCursor selection(document());
    if (line.selectionStart() >= clickedStart) {
        selection.setPosition(clickedStart);
        selection.setPosition(std::max(line.selectionEnd(), clickedEnd), QTextCursor::KeepAnchor);
    } else {
        selection.setPosition(clickedEnd);
        selection.setPosition(line.selectionStart(), QTextCursor::KeepAnchor);
    }
    setTextCursor(selection);
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    m_ClickedLine.reset();
}

QString TextBox::Text() {
    FinishFilling();
    // Room for the text, its line breaks two characters each.
    const qsizetype breaks = document()->lineCount() - 1;
    DocumentRoom::Ensure(document()->characterCount() + breaks, 0);
    QString text;
    text.reserve(document()->characterCount() + breaks);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        AppendTextOf(block, text);
    }
    return text;
}

void TextBox::SetText(QString sNewValue) {
    // Both made before the box changes, so that a text too large for memory
    // leaves the box as it was.
    QString text = WithLineFeeds(std::move(sNewValue));
    const QString before = Text();
    try {
        Show(std::move(text), before);
    } catch (const std::bad_alloc&) {
        Restore(before);
        throw;
    }
}

void TextBox::Clear() {
    FinishFilling();
    QTextCursor everything(document());
    everything.select(QTextCursor::Document);
    everything.removeSelectedText();
}

void TextBox::Show(QString text, const QString& before) {
    m_Fill.Stop();
    QList<BlockBreaks::StandIn> standIns = Prepare(text);
    const qsizetype first = TextFill::FirstSliceEnd(text);
    if (first == text.size()) {
        PutWhole(text, standIns);
        return;
    }
    DocumentRoom::EnsureFor(QStringView(text).left(first));
    m_Fill.Start(std::move(text), first, std::move(standIns), before);
}

QList<BlockBreaks::StandIn> TextBox::Prepare(QString& text) {
    QList<BlockBreaks::StandIn> standIns = BlockBreaks::Replace(text);
    SetWrapFor(text);
    LineGroups::Join(text);
    return standIns;
}

void TextBox::PutWhole(const QString& text, const QList<BlockBreaks::StandIn>& standIns) {
    DocumentRoom::EnsureFor(text);
    setPlainText(text);
    LineGroups::CountAll(*document());
    if (!standIns.isEmpty()) {
        // Part of putting the text in, not an edit the user could undo.
        document()->setUndoRedoEnabled(false);
        QTextCursor cursor(document());
        BlockBreaks::Mark(cursor, 0, standIns);
        document()->setUndoRedoEnabled(true);
    }
    document()->setModified(false);
}

void TextBox::SetWrapFor(const QString& text) {
    const LineWrapMode wrap = HasLongLine(text) ? WidgetWidth : NoWrap;
    if (wrap != lineWrapMode()) {
        // Changed on an empty box, the wrapping costs nothing to apply; on
        // the old text it would lay that out again.
        const QSignalBlocker quiet(this);
        document()->clear();
        setLineWrapMode(wrap);
    }
}

void TextBox::Restore(const QString& text) {
    m_Fill.Stop();
    {
        const QSignalBlocker quiet(this);
        document()->clear();
        try {
            QString lines = WithLineFeeds(text);
            const QList<BlockBreaks::StandIn> standIns = Prepare(lines);
            PutWhole(lines, standIns);
        } catch (const std::bad_alloc&) {
            // Not even the old text fits any more: the box stays empty.
            document()->clear();
        }
    }
    emit Change();
}

bool TextBox::IsEmpty() const {
    return document()->isEmpty() && !IsFilling();
}

bool TextBox::IsEdited() const {
    return document()->isModified();
}

bool TextBox::HoldsText(std::string_view text, qsizetype characters) {
    // The document counts each line break as one character, plus one at the
    // end; what is still to come counts as it stands.
    if (document()->characterCount() + m_Fill.ToCome() != characters + 1) {
        return false;
    }
    FinishFilling();
    QString piece;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        piece.clear();
        AppendTextOf(block, piece);
        const QByteArray bytes = piece.toUtf8();
        const auto size = static_cast<std::size_t>(bytes.size());
        if (size > text.size() || std::memcmp(bytes.constData(), text.data(), size) != 0) {
            return false;
        }
        text.remove_prefix(size);
    }
    return text.empty();
}

} // namespace quillomatic
