#pragma once

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWindow>
#include <QtQmlIntegration>

namespace quorvelle {

// Keeps a window of a designed size usable on a smaller screen. Each time the window is shown it
// is fitted once its frame is known (the window manager frames it after mapping): the minimum size
// shrinks to what the screen can show, a window too large is made smaller and moved onto the
// screen. Where the screen is large enough the designed size holds.
class ScreenFit : public QObject {
    Q_OBJECT
    QML_ELEMENT
    // The window to fit; none does nothing.
    Q_PROPERTY(QWindow* window READ window WRITE setWindow NOTIFY windowChanged)
    // The size the content is designed for, and its minimum where the screen allows.
    Q_PROPERTY(QSize designedSize MEMBER m_designedSize NOTIFY designedSizeChanged)

public:
    explicit ScreenFit(QObject* parent = nullptr);

    QWindow* window() const { return m_window; }
    void setWindow(QWindow* window);

    // The outer geometry (frame included) a window with `frame` margins gets on a screen whose free
    // area is `available`: at least the designed size where that fits, at most the free area.
    static QRect fitted(QRect frameGeometry, QMargins frame, QSize designed, QRect available);
    // Applies the fit to a window now, on the screen it is on.
    static void fit(QWindow* window, QSize designed);

Q_SIGNALS:
    void windowChanged();
    void designedSizeChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWindow> m_window;
    QSize m_designedSize;
    bool m_fitPending = false;
};

}  // namespace quorvelle
