// A multi-line text box whose text uses CR LF line breaks, the program's convention.
#include "TextBox.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace quillomatic {
namespace {

// What the box shows at once, and what each idle moment appends: a slice
// takes the widget a few milliseconds, so typing and clicks stay prompt.
constexpr qsizetype kFirstSlice = 64 * 1024;
constexpr qsizetype kSlice = 256 * 1024;

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

// The document's paragraph separators become CR LF, in one pass.
QString WithCrLf(const QString& raw) {
    const qsizetype breaks = raw.count(QChar::ParagraphSeparator);
    QString result(raw.size() + breaks, Qt::Uninitialized);
    QChar* out = result.data();
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator) {
            *out++ = QLatin1Char('\r');
            *out++ = QLatin1Char('\n');
        } else {
            *out++ = c;
        }
    }
    return result;
}

// Where a slice of at most `length` characters from `from` should end: after
// a line break where there is one, so each slice adds whole lines.
qsizetype SliceEnd(const QString& text, qsizetype from, qsizetype length) {
    const qsizetype limit = std::min(text.size(), from + length);
    if (limit == text.size()) {
        return limit;
    }
    const qsizetype lineEnd = text.lastIndexOf(QLatin1Char('\n'), limit - 1);
    return lineEnd >= from ? lineEnd + 1 : limit;
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
        if (!AppendSlice(kSlice)) {
            FinishFilling();
            (void)Text();
        }
    });
}

QString TextBox::Text() const {
    FinishFilling();
    if (!m_TextIsCurrent) {
        // The raw text keeps every character (toPlainText would turn no-break
        // spaces into blanks); blocks are separated by U+2029.
        m_Text = WithCrLf(document()->toRawText());
        m_TextIsCurrent = true;
    }
    return m_Text;
}

void TextBox::SetText(const QString& sNewValue) {
    if (IsFilling()) {
        m_Fill.clear();
        m_FillFrom = 0;
        FinishFilling();
    }
    QString text = WithLineFeeds(sNewValue);
    const qsizetype first = SliceEnd(text, 0, kFirstSlice);
    if (first == text.size()) {
        setPlainText(text);
        return;
    }
    // The slices are not edits the user could undo.
    document()->setUndoRedoEnabled(false);
    setPlainText(text.left(first));
    m_FillPoint = QTextCursor(document());
    m_FillPoint.movePosition(QTextCursor::End);
    m_Fill = std::move(text);
    m_FillFrom = first;
    m_FillTimer.start();
}

bool TextBox::IsEmpty() const {
    return document()->isEmpty() && !IsFilling();
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
    m_FillPoint.insertText(QStringView(m_Fill).mid(m_FillFrom, end - m_FillFrom).toString());
    m_FillFrom = end;
    return IsFilling();
}

void TextBox::FinishFilling() const {
    if (m_FillTimer.isActive() || IsFilling()) {
        AppendSlice(m_Fill.size());
        m_FillTimer.stop();
        m_Fill.clear();
        m_FillFrom = 0;
        m_FillPoint = QTextCursor();
        document()->setUndoRedoEnabled(true);
    }
}

} // namespace quillomatic
