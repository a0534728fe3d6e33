#pragma once

#include <QColor>
#include <QImage>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

namespace quorvelle {

// A rounded rectangle, capsule or circle, filled or stroked, with a solid or diagonal gradient
// colour, optionally blurred: the shadows, glows and gradient squares of the views. Painted in
// software so that it looks the same under every scene-graph backend, offscreen included.
class SoftShape : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(Shape shape READ shape WRITE setShape NOTIFY appearanceChanged)
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY appearanceChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY appearanceChanged)
    Q_PROPERTY(QColor endColor READ endColor WRITE setEndColor NOTIFY appearanceChanged)
    Q_PROPERTY(qreal strokeWidth READ strokeWidth WRITE setStrokeWidth NOTIFY appearanceChanged)
    Q_PROPERTY(qreal blur READ blur WRITE setBlur NOTIFY appearanceChanged)
    Q_PROPERTY(qreal padding READ padding WRITE setPadding NOTIFY appearanceChanged)

public:
    enum class Shape { RoundedRect, Capsule, Circle };
    Q_ENUM(Shape)

    explicit SoftShape(QQuickItem* parent = nullptr);

    Shape shape() const { return m_shape; }
    void setShape(Shape shape);
    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    // When valid, the colour runs from `color` at the top-left to this at the bottom-right.
    QColor endColor() const { return m_endColor; }
    void setEndColor(const QColor& color);
    // 0 fills the shape; a positive width strokes its outline, centred on the edge.
    qreal strokeWidth() const { return m_strokeWidth; }
    void setStrokeWidth(qreal width);
    // The standard deviation of the Gaussian, in logical pixels; 0 draws crisp edges.
    qreal blur() const { return m_blur; }
    void setBlur(qreal blur);
    // Room left around the shape inside the item, so that a blur is not cut at the edges.
    qreal padding() const { return m_padding; }
    void setPadding(qreal padding);

    void paint(QPainter* painter) override;

    // Blurs premultiplied ARGB pixels in place with three box passes each way, which together
    // come close to a Gaussian of the given standard deviation (in pixels).
    static void blurImage(QImage& image, qreal sigma);

Q_SIGNALS:
    void appearanceChanged();

private:
    void paintShape(QPainter& painter, const QRectF& bounds) const;
    template <typename T>
    void assign(T& field, const T& value);

    Shape m_shape = Shape::RoundedRect;
    qreal m_cornerRadius = 0;
    QColor m_color = Qt::black;
    QColor m_endColor;
    qreal m_strokeWidth = 0;
    qreal m_blur = 0;
    qreal m_padding = 0;
};

}  // namespace quorvelle
