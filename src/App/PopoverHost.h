#pragma once

#include <QObject>
#include <QRect>

#include <memory>

class QQmlEngine;
class QQuickItem;
class QQuickWindow;

namespace quorvelle {

class AppShellBridge;
class AppViewModel;

// The tray icon's popover: a frameless window beside the icon (or the pointer, when the tray does
// not say where its icon is) that hides when another window takes the focus.
class PopoverHost : public QObject {
    Q_OBJECT

public:
    static constexpr int kWidth = 360;

    PopoverHost(AppViewModel& viewModel, AppShellBridge& shell, QQmlEngine& engine, QObject* parent = nullptr);
    ~PopoverHost() override;

    // Shows it by `anchor` (empty: by the pointer), or hides it when shown. False when the popover's
    // view is not part of this build. A click on the anchor deactivates the popover before it asks
    // for the toggle: the popover it closed that way stays closed.
    bool toggle(const QRect& anchor);
    void hide();
    QQuickWindow* window() const { return m_window.get(); }

    // Where a window of `size` goes beside `anchor`, inside `screen`: below the anchor when it sits
    // in the screen's upper half, above it otherwise, horizontally centred on it and kept inside,
    // and no taller than the room on that side, so that it never covers the anchor.
    static QRect placement(const QSize& size, const QRect& anchor, const QRect& screen);

private:
    bool ensureWindow();
    // Sizes and places the window for the view's height beside the anchor it last opened by.
    void place();

    AppViewModel& m_viewModel;
    AppShellBridge& m_shell;
    QQmlEngine& m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    QQuickItem* m_view = nullptr;
    bool m_viewMissing = false;
    QRect m_anchor;
    // What it opens beside (the anchor, or the pointer) and the usable area of that screen.
    QRect m_target;
    QRect m_area;
    // Hidden on losing the focus with the pointer on the anchor: the toggle that follows is that click's.
    bool m_closedFromAnchor = false;
};

}  // namespace quorvelle
