// The program's pictures, drawn sharp at any screen density.
#include "Pictures.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace quillomatic::Pictures {

QPixmap Render(const QString& path, QSize size, qreal devicePixelRatio,
               std::optional<QColor> maskColor) {
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QSvgRenderer renderer(path);
        QPainter painter(&image);
        renderer.render(&painter);
    }
    if (maskColor) {
        const QRgb masked = maskColor->rgb();
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (line[x] == masked) {
                    line[x] = qRgba(0, 0, 0, 0);
                }
            }
        }
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon Icon(const QString& path32, const QString& path16) {
    QIcon icon;
    if (!path16.isEmpty()) {
        icon.addFile(path16, {16, 16});
    }
    icon.addFile(path32, {32, 32});
    return icon;
}

} // namespace quillomatic::Pictures
