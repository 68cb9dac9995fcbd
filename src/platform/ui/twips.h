#pragma once

#include <QPoint>
#include <QRect>

// The windows are laid out in twips: 15 make one pixel at the standard 96 dots per inch.
namespace platform {

constexpr int twips(int value) {
    return value / 15;
}

inline QRect at(int left, int top, int width, int height) {
    return {twips(left), twips(top), twips(width), twips(height)};
}

inline QPoint point(int x, int y) {
    return {twips(x), twips(y)};
}

} // namespace platform
