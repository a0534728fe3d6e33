#include "Views/Common/SoftShape.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QQuickWindow>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quorvelle {

namespace {

// One box pass along rows (horizontal) or columns, radius r, clamped at the edges so that
// colour does not bleed in from outside the image.
void boxPass(QImage& image, int r, bool horizontal) {
    const int width = image.width();
    const int height = image.height();
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    const int window = 2 * r + 1;
    std::vector<QRgb> line(static_cast<std::size_t>(length));
    for (int l = 0; l < lines; ++l) {
        auto pixel = [&](int i) -> QRgb& {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(horizontal ? l : i));
            return row[horizontal ? i : l];
        };
        for (int i = 0; i < length; ++i)
            line[std::size_t(i)] = pixel(i);
        auto at = [&](int i) { return line[std::size_t(std::clamp(i, 0, length - 1))]; };
        int sum[4] = {0, 0, 0, 0};
        for (int i = -r; i <= r; ++i) {
            const QRgb p = at(i);
            sum[0] += qAlpha(p);
            sum[1] += qRed(p);
            sum[2] += qGreen(p);
            sum[3] += qBlue(p);
        }
        for (int i = 0; i < length; ++i) {
            auto mean = [&](int total) { return (total + window / 2) / window; };
            pixel(i) = qRgba(mean(sum[1]), mean(sum[2]), mean(sum[3]), mean(sum[0]));
            const QRgb leaving = at(i - r);
            const QRgb entering = at(i + r + 1);
            sum[0] += qAlpha(entering) - qAlpha(leaving);
            sum[1] += qRed(entering) - qRed(leaving);
            sum[2] += qGreen(entering) - qGreen(leaving);
            sum[3] += qBlue(entering) - qBlue(leaving);
        }
    }
}

}  // namespace

SoftShape::SoftShape(QQuickItem* parent) : QQuickPaintedItem(parent) {
    setAntialiasing(true);
    connect(this, &SoftShape::appearanceChanged, this, [this] { update(); });
}

template <typename T>
void SoftShape::assign(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Q_EMIT appearanceChanged();
}

void SoftShape::setShape(Shape shape) {
    assign(m_shape, shape);
}
void SoftShape::setCornerRadius(qreal radius) {
    assign(m_cornerRadius, radius);
}
void SoftShape::setColor(const QColor& color) {
    assign(m_color, color);
}
void SoftShape::setEndColor(const QColor& color) {
    assign(m_endColor, color);
}
void SoftShape::setStrokeWidth(qreal width) {
    assign(m_strokeWidth, std::max<qreal>(0, width));
}
void SoftShape::setBlur(qreal blur) {
    assign(m_blur, std::max<qreal>(0, blur));
}
void SoftShape::setPadding(qreal padding) {
    assign(m_padding, std::max<qreal>(0, padding));
}

void SoftShape::paintShape(QPainter& painter, const QRectF& bounds) const {
    const QRectF shapeRect = bounds.adjusted(m_padding, m_padding, -m_padding, -m_padding);
    if (shapeRect.width() <= 0 || shapeRect.height() <= 0) return;

    QPainterPath path;
    switch (m_shape) {
        case Shape::RoundedRect: {
            const qreal radius = std::min({m_cornerRadius, shapeRect.width() / 2, shapeRect.height() / 2});
            path.addRoundedRect(shapeRect, radius, radius);
            break;
        }
        case Shape::Capsule: {
            const qreal radius = std::min(shapeRect.width(), shapeRect.height()) / 2;
            path.addRoundedRect(shapeRect, radius, radius);
            break;
        }
        case Shape::Circle: {
            const qreal side = std::min(shapeRect.width(), shapeRect.height());
            path.addEllipse(QRectF(shapeRect.center() - QPointF(side / 2, side / 2), QSizeF(side, side)));
            break;
        }
    }

    QBrush brush(m_color);
    if (m_endColor.isValid()) {
        QLinearGradient gradient(shapeRect.topLeft(), shapeRect.bottomRight());
        gradient.setColorAt(0, m_color);
        gradient.setColorAt(1, m_endColor);
        brush = QBrush(gradient);
    }

    painter.setRenderHint(QPainter::Antialiasing, true);
    if (m_strokeWidth > 0) {
        painter.setPen(QPen(brush, m_strokeWidth));
        painter.setBrush(Qt::NoBrush);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(brush);
    }
    painter.drawPath(path);
}

void SoftShape::paint(QPainter* painter) {
    const QRectF bounds(0, 0, width(), height());
    if (m_blur <= 0) {
        paintShape(*painter, bounds);
        return;
    }
    const qreal scale = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const QSize pixels(int(std::ceil(width() * scale)), int(std::ceil(height() * scale)));
    if (pixels.isEmpty()) return;
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter offscreen(&image);
        offscreen.scale(scale, scale);
        paintShape(offscreen, bounds);
    }
    blurImage(image, m_blur * scale);
    image.setDevicePixelRatio(scale);
    painter->drawImage(QPointF(0, 0), image);
}

void SoftShape::blurImage(QImage& image, qreal sigma) {
    if (sigma <= 0 || image.isNull()) return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Three box passes each way approach a Gaussian when their variances, (w*w - 1) / 12 each,
    // add up to sigma squared. Box widths are odd, so mix the two odd widths around the ideal.
    const double ideal = std::sqrt(4 * sigma * sigma + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0) --lower;
    lower = std::max(lower, 1);
    const int upper = lower + 2;
    const double lowerPasses = (12 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9) / (-4.0 * lower - 4);
    const int passesWithLower = std::clamp(int(std::lround(lowerPasses)), 0, 3);
    for (int pass = 0; pass < 3; ++pass) {
        const int width = pass < passesWithLower ? lower : upper;
        const int radius = (width - 1) / 2;
        if (radius == 0) continue;
        boxPass(image, radius, true);
        boxPass(image, radius, false);
    }
}

}  // namespace quorvelle
