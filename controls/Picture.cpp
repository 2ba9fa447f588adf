// A static picture on a form.
#include "Picture.h"

#include "Pictures.h"

#include <QPainter>

namespace quillomatic {

Picture::Picture(QWidget* parent) : QWidget(parent) {}

void Picture::SetPath(const QString& path) {
    m_Path = path;
    update();
}

void Picture::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, Pictures::Render(m_Path, size(), devicePixelRatioF()));
}

} // namespace quillomatic
