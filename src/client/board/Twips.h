#pragma once

#include <QPoint>
#include <QRect>

// The windows are laid out in twips, 15 to a logical pixel. This is the one
// place where twips become pixels and back.
namespace wordmoot::twips {

inline constexpr int kPerPixel = 15;

constexpr int toPixels(int twips) {
    return twips >= 0 ? (twips + kPerPixel / 2) / kPerPixel
                      : -((-twips + kPerPixel / 2) / kPerPixel);
}
constexpr QPoint toPixels(QPoint twips) {
    return {toPixels(twips.x()), toPixels(twips.y())};
}
// Edges are converted, not sizes, so that neighbours stay neighbours.
constexpr QRect toPixels(const QRect& twips) {
    const int left = toPixels(twips.x());
    const int top = toPixels(twips.y());
    return {left, top, toPixels(twips.x() + twips.width()) - left,
            toPixels(twips.y() + twips.height()) - top};
}
inline QRect rect(int left, int top, int width, int height) {
    return toPixels(QRect(left, top, width, height));
}
constexpr double fromPixels(double pixels) {
    return pixels * kPerPixel;
}

} // namespace wordmoot::twips
