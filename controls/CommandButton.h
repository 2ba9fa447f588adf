// A flat button with an icon at its left and a caption, in three colour sets.
#pragma once

#include "DrawnButton.h"

#include <QColor>

namespace quillomatic {

// The colours of a command button: face and icon area each in a normal, a
// pointer-over and a pressed variant, and the border while over or pressed.
struct CommandButtonColours {
    QColor BackColor, BackColorOver, BackColorDown;
    QColor BackColorIcon, BackColorIconOver, BackColorIconDown;
    QColor BorderColorOver, BorderColorDown;
    QColor CheckedColor;
};

// Raises clicked() on a mouse click, or on Space or Enter while it has the
// focus. Disabled, it is drawn greyed and takes neither clicks nor focus.
class CommandButton : public DrawnButton {
    Q_OBJECT

public:
    explicit CommandButton(QWidget* parent = nullptr);

    [[nodiscard]] QString Caption() const { return text(); }
    void SetCaption(const QString& sNewValue);
    // The picture at the left, drawn at IconSize pixels.
    void SetIconSize(qint32 width, qint32 height);
    [[nodiscard]] const CommandButtonColours& Colours() const { return m_Colours; }
    void SetColours(const CommandButtonColours& colours);
    [[nodiscard]] bool Disabled() const { return !isEnabled(); }
    void SetDisabled(bool bDisabled);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CommandButtonColours m_Colours;
};

} // namespace quillomatic
