#include "DrawnText.h"

#include "Views/Common/ViewFonts.h"

#include <QFont>
#include <QHash>

#include <algorithm>
#include <cmath>

namespace quorvelle::test {

namespace {

double luminance(const QColor& colour) {
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

QColor composite(const QColor& over, double alpha, const QColor& under) {
    const auto mix = [&](double top, double bottom) { return top * alpha + bottom * (1 - alpha); };
    return QColor::fromRgbF(float(mix(over.redF(), under.redF())), float(mix(over.greenF(), under.greenF())),
                            float(mix(over.blueF(), under.blueF())));
}

// The part of `item`'s box that shows: inside the window and every clipping item above it.
QRectF shownBox(const QQuickItem* item, QRectF box, const QImage& image) {
    QRectF scene = item->mapRectToScene(box).intersected(QRectF(image.rect()));
    for (const QQuickItem* above = item->parentItem(); above; above = above->parentItem())
        if (above->clip())
            scene = scene.intersected(above->mapRectToScene(QRectF(0, 0, above->width(), above->height())));
    return scene;
}

QColor mostCommonColour(const QImage& image, const QRect& box) {
    QHash<QRgb, int> counts;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    QRgb most = 0;
    int mostCount = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > mostCount) {
            most = it.key();
            mostCount = it.value();
        }
    return QColor::fromRgb(most);
}

void scan(QQuickItem* item, double opacity, const QImage& image, QStringList& faults) {
    if (!item->isVisible() || !item->isEnabled() || item->opacity() == 0) return;
    opacity *= item->opacity();
    const QFont font = item->property("font").value<QFont>();
    if (item->inherits("QQuickText") && !item->property("text").toString().trimmed().isEmpty() &&
        font.family() != ViewFonts::icons()) {
        const QRect box = shownBox(item, paintedBox(item), image).toAlignedRect().intersected(image.rect());
        if (box.width() > 2 && box.height() > 2) {
            const QColor colour = item->property("color").value<QColor>();
            const QColor background = mostCommonColour(image, box);
            const QColor drawn = composite(colour, colour.alphaF() * opacity, background);
            const double ratio = contrast(drawn, background);
            const int size = font.pixelSize();
            const bool large = size >= 24 || (size >= 19 && font.weight() >= QFont::Bold);
            if (ratio < (large ? 3.0 : 4.5))
                faults << QStringLiteral("%1 \"%2\": %3:1, %4 on %5")
                              .arg(item->objectName().isEmpty() ? QString::fromLatin1(item->metaObject()->className())
                                                                : item->objectName(),
                                   item->property("text").toString().left(50))
                              .arg(ratio, 0, 'f', 2)
                              .arg(drawn.name(), background.name());
        }
    }
    for (QQuickItem* child : item->childItems())
        scan(child, opacity, image, faults);
}

}  // namespace

double contrast(const QColor& a, const QColor& b) {
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QRectF paintedBox(const QQuickItem* text) {
    const qreal width = text->property("contentWidth").toReal();
    const qreal height = text->property("contentHeight").toReal();
    const int alignment = text->property("effectiveHorizontalAlignment").toInt();
    const qreal left = alignment == Qt::AlignRight     ? text->width() - width
                       : alignment == Qt::AlignHCenter ? (text->width() - width) / 2
                                                       : 0;
    const int vertical = text->property("verticalAlignment").toInt();
    const qreal top = vertical == Qt::AlignBottom    ? text->height() - height
                      : vertical == Qt::AlignVCenter ? (text->height() - height) / 2
                                                     : 0;
    return {left, top, width, height};
}

QStringList illegibleTexts(QQuickItem* scope, const QImage& image) {
    double opacity = 1;
    for (const QQuickItem* above = scope->parentItem(); above; above = above->parentItem())
        opacity *= above->opacity();
    QStringList faults;
    scan(scope, opacity, image, faults);
    return faults;
}

}  // namespace quorvelle::test
