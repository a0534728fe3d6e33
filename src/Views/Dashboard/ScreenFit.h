#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QWindow>
#include <QtQmlIntegration>

namespace quorvelle {

// Keeps a window of a designed size usable on a smaller screen: the minimum size shrinks to what the
// screen can show (frame included), a window too large is made smaller and moved onto the screen.
// Where the screen is large enough the designed size holds.
class ScreenFit : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit ScreenFit(QObject* parent = nullptr);

    // The outer geometry (frame included) a window of `frame` margins gets on a screen whose free area
    // is `available`: its size at least the designed one where that fits, at most the free area.
    static QRect fitted(QRect frameGeometry, QMargins frame, QSize designed, QRect available);

    // Applies the fit to a window now, on the screen it is on.
    Q_INVOKABLE static void fit(QWindow* window, QSize designed);
};

}  // namespace quorvelle
