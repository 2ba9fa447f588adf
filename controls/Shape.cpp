// A line or a rectangle outline drawn on a form.
#include "Shape.h"

#include <QPainter>

namespace quillomatic {

Shape::Shape(Kind kind, QWidget* parent) : QWidget(parent), m_Kind(kind) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::SetColor(const QColor& color) {
    m_Color = color;
    update();
}

void Shape::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(QPen(m_Color, 0));
    if (m_Kind == Kind::Rectangle) {
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    } else if (width() >= height()) {
        painter.drawLine(0, height() / 2, width() - 1, height() / 2);
    } else {
        painter.drawLine(width() / 2, 0, width() / 2, height() - 1);
    }
}

} // namespace quillomatic
