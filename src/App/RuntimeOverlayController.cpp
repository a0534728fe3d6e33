#include "App/RuntimeOverlayController.h"

#include "App/QuickRootView.h"
#include "App/RuntimeOverlayPanel.h"
#include "ViewModel/AppViewModel.h"

#include <QCursor>
#include <QGuiApplication>
#include <QQuickItem>
#include <QScreen>

#include <utility>

namespace quorvelle {

namespace {

OverlayDisplayMetrics metricsOf(const QScreen* screen) {
    return OverlayDisplayMetrics{screen->geometry(), screen->availableGeometry(), QMarginsF()};
}

}  // namespace

RuntimeOverlayController::RuntimeOverlayController(AppViewModel& viewModel, RuntimeOverlayLayoutEngine layoutEngine,
                                                   QQmlEngine& engine, QObject* parent)
    : QObject(parent), m_viewModel(viewModel), m_layoutEngine(layoutEngine), m_engine(engine) {
    connect(viewModel.session(), &SessionViewModel::runtimeStateChanged, this,
            &RuntimeOverlayController::handleRuntimeStateChange);
    connect(viewModel.preferences(), &PreferencesViewModel::selectedWidgetAppearanceChanged, this,
            &RuntimeOverlayController::handleWidgetAppearanceChange);
    for (QScreen* screen : QGuiApplication::screens())
        watchScreen(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        handleScreenParametersChange();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &RuntimeOverlayController::handleScreenParametersChange);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this,
            &RuntimeOverlayController::handleScreenParametersChange);
}

RuntimeOverlayController::~RuntimeOverlayController() = default;

void RuntimeOverlayController::watchScreen(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, &RuntimeOverlayController::handleScreenParametersChange);
    connect(screen, &QScreen::availableGeometryChanged, this, &RuntimeOverlayController::handleScreenParametersChange);
}

std::optional<OverlayDisplayMetrics> RuntimeOverlayController::currentDisplayMetrics() const {
    QList<OverlayDisplayMetrics> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << metricsOf(screen);
    const QScreen* primary = QGuiApplication::primaryScreen();
    return RuntimeOverlayLayoutEngine::selectDisplay(QCursor::pos(), screens,
                                                     primary ? std::optional(metricsOf(primary)) : std::nullopt);
}

void RuntimeOverlayController::handleRuntimeStateChange() {
    if (m_viewModel.session()->runtimeState().kind() == SessionState::Kind::idle) {
        if (m_panel) m_panel->orderOut();
        return;
    }
    showOverlay();
}

void RuntimeOverlayController::handleWidgetAppearanceChange() {
    resizePanel();
}

void RuntimeOverlayController::resizePanel() {
    if (!m_panel) return;
    m_panel->setContentSize(contentSize());
    // A hidden panel is placed when it is next shown.
    if (m_panel->isVisible()) placePanel();
}

void RuntimeOverlayController::handleScreenParametersChange() {
    if (m_panel && m_panel->isVisible()) placePanel();
}

void RuntimeOverlayController::preparePanel() {
    if (m_panel) return;
    ensurePanel().prepare();
}

void RuntimeOverlayController::showOverlay() {
    RuntimeOverlayPanel& panel = ensurePanel();
    panel.setContentSize(contentSize());
    // Without any screen it still comes to the front, where it was.
    placePanel();
    panel.orderFront();
}

void RuntimeOverlayController::placePanel() {
    if (const auto metrics = currentDisplayMetrics()) {
        m_panel->setGeometry(m_layoutEngine.panelFrame(QSizeF(m_panel->size()), *metrics).toRect());
    }
}

RuntimeOverlayPanel& RuntimeOverlayController::ensurePanel() {
    if (!m_panel) {
        QQuickItem* view = makeRootView(m_engine, QStringLiteral("RuntimeOverlayView"),
                                        {{QStringLiteral("viewModel"), QVariant::fromValue<QObject*>(&m_viewModel)}});
        m_panel = std::make_unique<RuntimeOverlayPanel>(view ? view : new QQuickItem);
        m_view = view;
        // The pill grows when a title wraps or a detail runs long; the panel follows it.
        if (view) {
            connect(view, &QQuickItem::implicitWidthChanged, this, &RuntimeOverlayController::resizePanel);
            connect(view, &QQuickItem::implicitHeightChanged, this, &RuntimeOverlayController::resizePanel);
        }
        m_panel->setContentSize(contentSize());
    }
    return *m_panel;
}

QSize RuntimeOverlayController::contentSize() const {
    if (m_view && m_view->implicitWidth() > 0 && m_view->implicitHeight() > 0)
        return QSizeF(m_view->implicitWidth(), m_view->implicitHeight()).toSize();
    return RuntimeOverlayLayoutEngine::panelSize(m_viewModel.preferences()->selectedWidgetAppearance()).toSize();
}

}  // namespace quorvelle
