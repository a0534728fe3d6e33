#pragma once

#include <QQuickWindow>

namespace quorvelle {

// The floating status panel: frameless, above other windows, never focused and never hit by the
// mouse, so typing and clicks go on reaching the application being dictated into. Its background is
// clear; without a compositor to draw that, the window is clipped to the pill the view draws.
class RuntimeOverlayPanel : public QQuickWindow {
    Q_OBJECT

public:
    // Takes the view as its content.
    explicit RuntimeOverlayPanel(QQuickItem* view);

    void setContentSize(const QSize& size);
    // Shows it without activating anything; hides it.
    void orderFront();
    void orderOut();
    // Draws one frame where nobody sees it (one pixel in the screen's corner), then hides again: a
    // window's first frame lays out its text and makes its glyphs and backing store, which the first
    // press is spared. A real show ends it early; a window manager that never has it drawn ends it
    // after a while.
    void prepare();
    bool isPreparing() const { return m_preparing; }

    // The pill or glyph surface the view draws; none before it is laid out.
    QQuickItem* surface() const;
    // The shape the panel is clipped to without a compositor: the view's pill or glyph surface.
    QRegion surfaceRegion() const;

private:
    void updateMask();
    void finishPreparing();

    QQuickItem* m_view;
    bool m_clipsToShape = false;
    bool m_preparing = false;
};

}  // namespace quorvelle
