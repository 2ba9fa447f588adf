// The title strip of a borderless window: shows the caption and moves the window.
#include "DragBar.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace quillomatic {
namespace {

// The classic active-caption gradient, dark blue into light blue.
const QColor kGradientStart(0x0A, 0x24, 0x6A);
const QColor kGradientEnd(0xA6, 0xCA, 0xF0);

} // namespace

DragBar::DragBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DragBar::SetCaption(const QString& sNewValue) {
    m_Caption = sNewValue;
    setAccessibleName(sNewValue);
    update();
}

void DragBar::SetForeColor(const QColor& color) {
    m_ForeColor = color;
    update();
}

void DragBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QLinearGradient gradient(rect().topLeft(), rect().topRight());
    gradient.setColorAt(0, kGradientStart);
    gradient.setColorAt(1, kGradientEnd);
    painter.fillRect(rect(), gradient);
    painter.setPen(m_ForeColor);
    painter.setFont(font());
    painter.drawText(rect().adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(m_Caption, Qt::ElideRight, width() - 8));
}

void DragBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    QWindow* handle = window()->windowHandle();
    if (handle && handle->startSystemMove()) {
        return;
    }
    m_FollowingPointer = true;
    m_GrabOffset = event->globalPosition().toPoint() - window()->pos();
}

void DragBar::mouseMoveEvent(QMouseEvent* event) {
    if (m_FollowingPointer && (event->buttons() & Qt::LeftButton)) {
        window()->move(event->globalPosition().toPoint() - m_GrabOffset);
    }
}

void DragBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_FollowingPointer = false;
    }
}

} // namespace quillomatic
