// Layout units: forms are laid out in twips, 15 to a pixel at 96 dots per inch.
#pragma once

#include <QRect>

namespace quillomatic::Twips {

inline constexpr int kPerPixel = 15;

[[nodiscard]] constexpr int ToPixels(int twips) {
    return (twips + kPerPixel / 2) / kPerPixel;
}
// A rectangle given as left, top, width and height in twips, in pixels.
[[nodiscard]] constexpr QRect Rect(int left, int top, int width, int height) {
    return {ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height)};
}

} // namespace quillomatic::Twips
