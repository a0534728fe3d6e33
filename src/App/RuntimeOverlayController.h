#pragma once

#include "Services/System/OverlayDisplayMetrics.h"
#include "Services/System/RuntimeOverlayLayoutEngine.h"

#include <QObject>
#include <QPointer>
#include <QQuickItem>

#include <memory>
#include <optional>

class QQmlEngine;
class QScreen;

namespace quorvelle {

class AppViewModel;
class RuntimeOverlayPanel;

// Shows the status panel at the bottom centre of the screen under the pointer whenever the session
// is not idle, and hides it when it is. The panel is made on first need and kept; it takes the size
// its view asks for (the appearance's, or taller for long texts) and is moved when the screens
// change. Main thread only.
class RuntimeOverlayController : public QObject {
    Q_OBJECT

public:
    RuntimeOverlayController(AppViewModel& viewModel, RuntimeOverlayLayoutEngine layoutEngine, QQmlEngine& engine,
                             QObject* parent = nullptr);
    ~RuntimeOverlayController() override;

    // None until the session first left idle or the panel was prepared.
    RuntimeOverlayPanel* panel() const { return m_panel.get(); }
    // Makes the panel and draws its first frame out of sight, sparing the first dictation that work.
    // A panel made before was drawn already.
    void preparePanel();

    // The screen under the pointer, as the layout engine chooses it.
    std::optional<OverlayDisplayMetrics> currentDisplayMetrics() const;

private:
    void handleRuntimeStateChange();
    void handleWidgetAppearanceChange();
    // Fits the panel to the view's size and, when shown, places it again.
    void resizePanel();
    void handleScreenParametersChange();
    void watchScreen(QScreen* screen);
    void showOverlay();
    void placePanel();
    RuntimeOverlayPanel& ensurePanel();
    QSize contentSize() const;

    AppViewModel& m_viewModel;
    RuntimeOverlayLayoutEngine m_layoutEngine;
    QQmlEngine& m_engine;
    std::unique_ptr<RuntimeOverlayPanel> m_panel;
    QPointer<QQuickItem> m_view;
};

}  // namespace quorvelle
