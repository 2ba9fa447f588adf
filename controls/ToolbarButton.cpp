// One button of a Toolbar: a picture above a caption.
#include "ToolbarButton.h"

#include "Pictures.h"

#include <QPainter>
#include <QSvgRenderer>

namespace quillomatic {
namespace {

const QColor kLight(0xFF, 0xFF, 0xFF);
const QColor kShadow(0x80, 0x80, 0x80);
const QColor kSelectedFace(0xE4, 0xE1, 0xDB);
constexpr int kPadding = 4;
constexpr int kPictureHeight = 32; // pictures stand in a 32-pixel row, bottom-aligned
// Buttons share one width where their contents fit, so the row reads evenly
// and each button stands at the same place whatever the font.
constexpr int kButtonWidth = 44;

void DrawEdge(QPainter& painter, const QRect& area, bool sunken) {
    painter.setPen(sunken ? kShadow : kLight);
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.setPen(sunken ? kLight : kShadow);
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.topRight(), area.bottomRight());
}

} // namespace

ToolbarButton::ToolbarButton(const QString& caption, const QString& key, const QString& toolTipText,
                             const QString& picturePath, std::optional<QColor> maskColor,
                             QWidget* parent)
    : DrawnButton(parent), m_Key(key), m_PicturePath(picturePath), m_MaskColor(maskColor),
      m_PictureSize(QSvgRenderer(picturePath).defaultSize()) {
    setText(caption);
    setToolTip(toolTipText);
    setAccessibleName(caption.trimmed());
    setAccessibleDescription(toolTipText);
}

void ToolbarButton::SetSelected(bool selected) {
    m_Selected = selected;
    update();
}

QSize ToolbarButton::sizeHint() const {
    const int captionWidth = fontMetrics().horizontalAdvance(text());
    return {
        std::max(kButtonWidth, std::max(m_PictureSize.width(), captionWidth) + 2 * kPadding + 4),
        kPictureHeight + fontMetrics().height() + 2 * kPadding};
}

void ToolbarButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = rect().adjusted(0, 0, -1, -1);
    if (m_Selected) {
        painter.fillRect(area, kSelectedFace);
    }
    if (m_Selected || isDown()) {
        DrawEdge(painter, area, true);
    } else if (underMouse()) {
        DrawEdge(painter, area, false);
    }

    const int shift = (m_Selected || isDown()) ? 1 : 0;
    const QPoint pictureCorner((width() - m_PictureSize.width()) / 2 + shift,
                               kPadding + kPictureHeight - m_PictureSize.height() + shift);
    painter.drawPixmap(pictureCorner, Pictures::Render(m_PicturePath, m_PictureSize,
                                                       devicePixelRatioF(), m_MaskColor));
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::ButtonText));
    const QRect captionArea(shift, kPadding + kPictureHeight + shift, width(),
                            height() - kPadding - kPictureHeight);
    painter.drawText(captionArea, Qt::AlignHCenter | Qt::AlignTop, text());

    DrawFocusRect(painter, area.adjusted(2, 2, -2, -2));
}

} // namespace quillomatic
