// The program's pictures, drawn sharp at any screen density.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <optional>

namespace quillomatic {

namespace Pictures {

// The picture at `path` (an SVG in the resources) drawn at `size` logical
// pixels for a screen of `devicePixelRatio`; pixels of exactly `maskColor`
// become transparent.
[[nodiscard]] QPixmap Render(const QString& path, QSize size, qreal devicePixelRatio,
                             std::optional<QColor> maskColor = std::nullopt);
// An icon from a 32-pixel picture and, where it has one, a 16-pixel variant.
[[nodiscard]] QIcon Icon(const QString& path32, const QString& path16 = {});

} // namespace Pictures

} // namespace quillomatic
