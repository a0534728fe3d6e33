#include "App/AppRuntime.h"

#include "App/AppExitLog.h"
#include "App/LiveBootstrap.h"
#include "App/QtTranslations.h"
#include "App/RuntimeOverlayController.h"
#include "ViewModel/AppViewModel.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QQmlEngine>
#include <QTimer>

namespace quorvelle {

namespace {

AppBootstrap liveOrGiven(std::optional<AppBootstrap> given, const AppConfiguration& configuration,
                         std::unique_ptr<QNetworkAccessManager>& network) {
    if (given) return std::move(*given);
    network = std::make_unique<QNetworkAccessManager>();
    return makeLiveBootstrap(configuration, network.get());
}

}  // namespace

AppRuntime::AppRuntime(std::optional<AppBootstrap> bootstrap, const AppConfiguration& configuration,
                       OverlayStart overlayStart)
    : m_bootstrap(liveOrGiven(std::move(bootstrap), configuration, m_network)),
      m_viewModel(std::make_unique<AppViewModel>(m_bootstrap)),
      m_qtTranslations(std::make_unique<QtTranslations>(*m_viewModel)),
      m_viewEngine(std::make_unique<QQmlEngine>()),
      m_overlayController(std::make_unique<RuntimeOverlayController>(*m_viewModel, RuntimeOverlayLayoutEngine{-12, -20},
                                                                     *m_viewEngine)),
      m_exitLog(std::make_unique<AppExitLog>(m_bootstrap.diagnosticsStore, QCoreApplication::applicationPid())) {
    // A change the settings file cannot take is told on the status line, not only logged. The
    // refusal may come from any thread; the message is set on the view model's.
    QPointer<ViewModelContext> context(&m_viewModel->context());
    m_bootstrap.settingsStore->userDefaults()->setRefusalObserver([context](const QString&) {
        if (!context) return;
        QMetaObject::invokeMethod(
            context.data(),
            [context] {
                if (context) context->setInlineMessage(context->strings().settingsChangeNotSaved());
            },
            Qt::QueuedConnection);
    });
    if (overlayStart == OverlayStart::preparedOutOfSight) {
        // After the start's own work (the tray icon), once the event loop runs.
        QTimer::singleShot(0, m_overlayController.get(), [this] { m_overlayController->preparePanel(); });
    }
}

AppRuntime::~AppRuntime() {
    m_bootstrap.settingsStore->userDefaults()->setRefusalObserver({});
}

}  // namespace quorvelle
