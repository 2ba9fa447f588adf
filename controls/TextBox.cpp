// A multi-line text box whose text uses CR LF line breaks, the program's convention.
#include "TextBox.h"

#include "BlockBreaks.h"

#include <QMimeData>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdlib>
#include <new>

namespace quillomatic {
namespace {

// What the box shows at once, and what each idle moment appends: a slice
// takes the widget a few milliseconds, so typing and clicks stay prompt.
constexpr qsizetype kFirstSlice = 64 * 1024;
constexpr qsizetype kSlice = 256 * 1024;
// Longer lines are wrapped at the box's width, in the view only. The widget
// lays out a line whole, and unwrapped that costs about 0.5 s a megabyte,
// twice what it costs wrapped; nobody reads such a line by scrolling sideways.
constexpr qsizetype kLongLine = 16 * 1024;

// Room each line of the document takes beside its characters: its block and
// the block's data, with the tables they are kept in grown by doubling.
constexpr std::size_t kBytesPerLine = 256;

// The widget's document does not check its own allocations: memory running
// out inside it ends the program. So before the document takes text, room for
// the most it will allocate for it is made sure of: its text, two bytes a
// character, grows by doubling and so may ask for twice what it will hold.
// Without that room std::bad_alloc is raised, with the document untouched.
void MakeSureOfRoom(qsizetype characters, qsizetype lines) {
    const auto bytes =
        static_cast<std::size_t>(characters) * 4 + static_cast<std::size_t>(lines) * kBytesPerLine;
    // Called through a volatile pointer, so the compiler keeps the allocation.
    static void* (*volatile allocate)(std::size_t) = std::malloc;
    void* room = allocate(bytes);
    if (room == nullptr) {
        throw std::bad_alloc();
    }
    std::free(room);
}

// MakeSureOfRoom for a document that is to hold `text`, with LF line breaks.
void MakeSureOfRoomFor(QStringView text) {
    MakeSureOfRoom(text.size(), text.count(QLatin1Char('\n')));
}

// CR LF and a lone CR become LF, in one pass (the widget would read CR LF as
// two line breaks).
QString WithLineFeeds(const QString& text) {
    if (!text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString result(text.size(), Qt::Uninitialized);
    QChar* out = result.data();
    const QChar* in = text.constData();
    const QChar* const end = in + text.size();
    for (; in != end; ++in) {
        if (*in == QLatin1Char('\r')) {
            *out++ = QLatin1Char('\n');
            if (in + 1 != end && in[1] == QLatin1Char('\n')) {
                ++in;
            }
        } else {
            *out++ = *in;
        }
    }
    result.truncate(out - result.constData());
    return result;
}

// The document's text with CR LF line breaks, in one pass. Its raw text
// keeps every character (toPlainText would turn no-break spaces into
// blanks), with U+2029 between blocks; stand-ins give back what they stand for.
QString TextOf(const QTextDocument& document) {
    const QString raw = document.toRawText();
    const qsizetype breaks = raw.count(QChar::ParagraphSeparator);
    QString result(raw.size() + breaks, Qt::Uninitialized);
    QChar* out = result.data();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == QChar::ParagraphSeparator) {
            *out++ = QLatin1Char('\r');
            *out++ = QLatin1Char('\n');
        } else if (c == BlockBreaks::kStandIn) {
            const QChar original = BlockBreaks::OriginalAt(&document, i);
            *out++ = original.isNull() ? c : original;
        } else {
            *out++ = c;
        }
    }
    return result;
}

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

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChanged, this, [this] { m_TextIsCurrent = false; });
    connect(this, &QPlainTextEdit::textChanged, this, &TextBox::Change);
    m_FillTimer.setInterval(0);
    connect(&m_FillTimer, &QTimer::timeout, this, [this] {
        try {
            if (AppendSlice(kSlice)) {
                return;
            }
        } catch (const std::bad_alloc&) {
            AbandonFill();
            return;
        }
        FinishFilling(); // nothing is left: this ends the fill
        try {
            (void)Text();
        } catch (const std::bad_alloc&) {
            // Built when it is asked for, if memory allows then.
        }
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

QString TextBox::Text() const {
    FinishFilling();
    if (!m_TextIsCurrent) {
        // Room for the raw text and the text made of it.
        MakeSureOfRoom(document()->characterCount(), 0);
        m_Text = TextOf(*document());
        m_TextIsCurrent = true;
    }
    return m_Text;
}

void TextBox::SetText(const QString& sNewValue) {
    // Both made before the box changes, so that a text too large for memory
    // leaves the box as it was.
    QString text = WithLineFeeds(sNewValue);
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
    StopFilling();
    const qsizetype first = SliceEnd(text, 0, kFirstSlice);
    if (first == text.size()) {
        PutWhole(std::move(text));
        return;
    }
    MakeSureOfRoomFor(QStringView(text).left(first));
    m_FillStandIns = BlockBreaks::Replace(text);
    SetWrapFor(text);
    // The slices are not edits the user could undo.
    document()->setUndoRedoEnabled(false);
    setPlainText(text.left(first));
    m_FillPoint = QTextCursor(document());
    m_FillPoint.movePosition(QTextCursor::End);
    m_Fill = std::move(text);
    m_FillFrom = 0;
    MarkStandInsUpTo(first);
    m_FillFrom = first;
    m_BeforeFill = before;
    m_FillTimer.start();
    // Input is still welcome meanwhile; the pointer says that work goes on.
    viewport()->setCursor(Qt::BusyCursor);
}

void TextBox::PutWhole(QString text) const {
    auto* self = const_cast<TextBox*>(this);
    const QList<BlockBreaks::StandIn> standIns = BlockBreaks::Replace(text);
    MakeSureOfRoomFor(text);
    self->SetWrapFor(text);
    self->setPlainText(text);
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

void TextBox::Restore(const QString& text) const {
    StopFilling();
    // Called from the const readers that finish a fill; the box itself is
    // never const.
    auto* self = const_cast<TextBox*>(this);
    {
        const QSignalBlocker quiet(self);
        document()->clear();
        try {
            PutWhole(WithLineFeeds(text));
        } catch (const std::bad_alloc&) {
            // Not even the old text fits any more: the box stays empty.
            document()->clear();
        }
    }
    emit self->Change();
}

void TextBox::AbandonFill() const {
    const QString before = std::move(m_BeforeFill);
    Restore(before);
    QMetaObject::invokeMethod(const_cast<TextBox*>(this), &TextBox::FillFailed,
                              Qt::QueuedConnection);
}

bool TextBox::IsEmpty() const {
    return document()->isEmpty() && !IsFilling();
}

bool TextBox::IsEdited() const {
    return document()->isModified();
}

bool TextBox::HoldsText(const QString& text) const {
    // The document counts each line break as one character, plus one at the
    // end; what is still to come counts as it stands.
    const qsizetype lineBreaks = text.count(QStringLiteral("\r\n"));
    const qsizetype toCome = m_Fill.size() - m_FillFrom;
    if (document()->characterCount() + toCome != text.size() - lineBreaks + 1) {
        return false;
    }
    return Text() == text;
}

bool TextBox::AppendSlice(qsizetype maximumLength) const {
    if (!IsFilling()) {
        return false;
    }
    const qsizetype end = SliceEnd(m_Fill, m_FillFrom, maximumLength);
    const QStringView slice = QStringView(m_Fill).mid(m_FillFrom, end - m_FillFrom);
    MakeSureOfRoom(document()->characterCount() + slice.size(), slice.count(QLatin1Char('\n')));
    m_FillPoint.insertText(slice.toString());
    MarkStandInsUpTo(end);
    m_FillFrom = end;
    return IsFilling();
}

void TextBox::MarkStandInsUpTo(qsizetype end) const {
    // The slice from m_FillFrom to `end` ends where the fill point stands.
    const qsizetype sliceStart = m_FillPoint.position() - (end - m_FillFrom);
    QList<BlockBreaks::StandIn> inSlice;
    while (!m_FillStandIns.isEmpty() && m_FillStandIns.front().Position < end) {
        const BlockBreaks::StandIn standIn = m_FillStandIns.takeFirst();
        inSlice.append({standIn.Position - m_FillFrom, standIn.Original});
    }
    if (!inSlice.isEmpty()) {
        QTextCursor cursor(document());
        BlockBreaks::Mark(cursor, sliceStart, inSlice);
    }
}

bool TextBox::FinishFilling() const {
    if (!m_FillTimer.isActive() && !IsFilling()) {
        return true;
    }
    try {
        AppendSlice(m_Fill.size());
    } catch (const std::bad_alloc&) {
        AbandonFill();
        return false;
    }
    StopFilling();
    document()->setModified(false);
    return true;
}

void TextBox::StopFilling() const {
    m_FillTimer.stop();
    m_Fill.clear();
    m_FillFrom = 0;
    m_FillPoint = QTextCursor();
    m_FillStandIns.clear();
    m_BeforeFill.clear();
    document()->setUndoRedoEnabled(true);
    viewport()->setCursor(Qt::IBeamCursor);
}

} // namespace quillomatic
