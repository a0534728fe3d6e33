#pragma once

#include <QColor>

namespace quorvelle::theme {

// The notation of the theme tables: an sRGB triple in 0...1, then an opacity where one is given;
// plain white and black, possibly with an opacity.
inline QColor rgb(double r, double g, double b, double alpha = 1.0) {
    return QColor::fromRgbF(float(r), float(g), float(b), float(alpha));
}

inline QColor white(double alpha = 1.0) {
    return rgb(1, 1, 1, alpha);
}

inline QColor black(double alpha = 1.0) {
    return rgb(0, 0, 0, alpha);
}

}  // namespace quorvelle::theme
