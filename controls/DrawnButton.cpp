// What the program's own buttons share: pressed by Enter as well as Space, and
// a focus rectangle drawn where each button wants it.
#include "DrawnButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace quillomatic {

DrawnButton::DrawnButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
}

void DrawnButton::DrawFocusRect(QPainter& painter, const QRect& area) const {
    if (!hasFocus()) {
        return;
    }
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = area;
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void DrawnButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (isEnabled()) {
            click();
        }
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

} // namespace quillomatic
