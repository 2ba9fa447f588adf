// A flat button with an icon at its left and a caption, in three colour sets.
#include "CommandButton.h"

#include <QPainter>

namespace quillomatic {
namespace {

// Without pointer or press the face is framed by a quiet grey edge.
const QColor kNormalBorder(0xA0, 0x9D, 0x96);

} // namespace

CommandButton::CommandButton(QWidget* parent) : DrawnButton(parent) {
    setIconSize({32, 32});
}

void CommandButton::SetCaption(const QString& sNewValue) {
    setText(sNewValue);
    setAccessibleName(sNewValue);
}

void CommandButton::SetIconSize(qint32 width, qint32 height) {
    setIconSize({width, height});
}

void CommandButton::SetColours(const CommandButtonColours& colours) {
    m_Colours = colours;
    update();
}

void CommandButton::SetDisabled(bool bDisabled) {
    // A disabled widget gets no clicks and no focus from Qt itself.
    setEnabled(!bDisabled);
}

void CommandButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const bool pressed = isDown() && isEnabled();
    const bool over = underMouse() && isEnabled() && !pressed;
    const QColor face = pressed ? m_Colours.BackColorDown
                        : over  ? m_Colours.BackColorOver
                                : m_Colours.BackColor;
    const QColor iconFace = pressed ? m_Colours.BackColorIconDown
                            : over  ? m_Colours.BackColorIconOver
                                    : m_Colours.BackColorIcon;
    const QColor border = pressed ? m_Colours.BorderColorDown
                          : over  ? m_Colours.BorderColorOver
                                  : kNormalBorder;

    const QRect whole = rect();
    const int iconAreaWidth = std::min(whole.width(), iconSize().width() + 8);
    const QRect iconArea(whole.left(), whole.top(), iconAreaWidth, whole.height());
    const QRect captionArea = whole.adjusted(iconAreaWidth, 0, 0, 0);
    painter.fillRect(captionArea, face);
    painter.fillRect(iconArea, iconFace);

    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QRect iconRect(QPoint(0, 0), iconSize());
    icon().paint(&painter, iconRect.translated(iconArea.center() - iconRect.center()),
                 Qt::AlignCenter, mode);

    painter.setFont(font());
    painter.setPen(isEnabled() ? palette().color(QPalette::Active, QPalette::ButtonText)
                               : palette().color(QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(captionArea.adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextWordWrap, text());

    painter.setPen(border);
    painter.drawRect(whole.adjusted(0, 0, -1, -1));

    DrawFocusRect(painter, captionArea.adjusted(3, 3, -4, -4));
}

} // namespace quillomatic
