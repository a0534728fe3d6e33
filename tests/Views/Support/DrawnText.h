#pragma once

#include <QColor>
#include <QImage>
#include <QQuickItem>
#include <QRectF>
#include <QStringList>

namespace quorvelle::test {

// The WCAG contrast ratio of two opaque colours.
double contrast(const QColor& a, const QColor& b);

// Where a text item's glyphs lie in its own coordinates, by its alignment.
QRectF paintedBox(const QQuickItem* text);

// One line per visible, enabled text under `scope` that reads below 4.5:1 (3:1 when large) against
// what is drawn behind it in `image`, a grab of the window: the text's colour at its opacity, laid
// over the colour that most of the pixels of its box have. Symbols are left out.
QStringList illegibleTexts(QQuickItem* scope, const QImage& image);

}  // namespace quorvelle::test
