// A multi-line text box whose text uses CR LF line breaks, the program's convention.
#pragma once

#include <QPlainTextEdit>

namespace quillomatic {

// Both scroll bars, no word wrap. Text() gives every line break as CR LF,
// whatever the widget holds inside; SetText() takes CR LF, LF or a lone CR
// alike. Raises Change() after every change of the text, by the user or the
// program.
class TextBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    [[nodiscard]] QString Text() const;
    void SetText(const QString& sNewValue);
    [[nodiscard]] bool IsEmpty() const;
    // Whether Text() would equal `text`, without building the whole text when
    // their lengths already differ: the check a keystroke can afford on a
    // large page.
    [[nodiscard]] bool HoldsText(const QString& text) const;

signals:
    void Change();
};

} // namespace quillomatic
