// A multi-line text box whose text uses CR LF line breaks, the program's convention.
#include "TextBox.h"

#include <QTextDocument>

namespace quillomatic {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");

} // namespace

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &TextBox::Change);
}

QString TextBox::Text() const {
    // The raw text keeps every character (toPlainText would turn no-break
    // spaces into blanks); blocks are separated by U+2029.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, kLineBreak);
    return text;
}

void TextBox::SetText(const QString& sNewValue) {
    QString text = sNewValue;
    // The widget would read CR LF as two line breaks.
    text.replace(kLineBreak, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(text);
}

bool TextBox::IsEmpty() const {
    return document()->isEmpty();
}

bool TextBox::HoldsText(const QString& text) const {
    // The document counts each line break as one character, plus one at the end.
    const qsizetype lineBreaks = text.count(kLineBreak);
    if (document()->characterCount() != text.size() - lineBreaks + 1) {
        return false;
    }
    return Text() == text;
}

} // namespace quillomatic
