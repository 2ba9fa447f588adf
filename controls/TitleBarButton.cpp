// A small square button of a drawn title bar, showing one character.
#include "TitleBarButton.h"

#include "FaceColour.h"

#include <QPainter>

namespace quillomatic {
namespace {

const QColor kFaceDown(0xB6, 0xB2, 0xAA);
const QColor kLight(0xFF, 0xFF, 0xFF);
const QColor kShadow(0x80, 0x80, 0x80);

} // namespace

TitleBarButton::TitleBarButton(QWidget* parent) : DrawnButton(parent) {
    setCursor(Qt::ArrowCursor);
}

void TitleBarButton::SetCaption(const QString& sNewValue) {
    setText(sNewValue);
    setAccessibleName(sNewValue);
}

void TitleBarButton::SetForeColorOver(const QColor& color) {
    m_ForeColorOver = color;
    update();
}

void TitleBarButton::SetShowFocusRect(bool show) {
    m_ShowFocusRect = show;
    update();
}

void TitleBarButton::SetScaleSize(QSize size) {
    m_ScaleSize = size;
    updateGeometry();
}

void TitleBarButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect face = rect();
    painter.fillRect(face, isDown() ? kFaceDown : kFaceColour);
    // A thin raised edge, sunken while pressed.
    painter.setPen(isDown() ? kShadow : kLight);
    painter.drawLine(face.topLeft(), face.topRight());
    painter.drawLine(face.topLeft(), face.bottomLeft());
    painter.setPen(isDown() ? kLight : kShadow);
    painter.drawLine(face.bottomLeft(), face.bottomRight());
    painter.drawLine(face.topRight(), face.bottomRight());

    const bool highlighted = underMouse() || (hasFocus() && !m_ShowFocusRect);
    painter.setPen(highlighted && m_ForeColorOver.isValid() ? m_ForeColorOver : Qt::black);
    painter.setFont(font());
    painter.drawText(face.translated(isDown() ? 1 : 0, isDown() ? 1 : 0), Qt::AlignCenter, text());

    if (m_ShowFocusRect) {
        DrawFocusRect(painter, face.adjusted(2, 2, -2, -2));
    }
}

} // namespace quillomatic
