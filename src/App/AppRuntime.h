#pragma once

#include "App/AppConfiguration.h"
#include "ViewModel/AppBootstrap.h"

#include <memory>
#include <optional>

class QNetworkAccessManager;
class QQmlEngine;

namespace quorvelle {

class AppExitLog;
class AppViewModel;
class QtTranslations;
class RuntimeOverlayController;

// The composition root: the services, the one view model over them and the overlay controller,
// made once and kept for the whole run. Main thread only.
class AppRuntime {
public:
    enum class OverlayStart {
        // Made by the first session.
        atFirstSession,
        // Made, and its first frame drawn out of sight, once the event loop runs: the first press
        // is spared that work. Nothing waits for it, the hot key least of all (registered at once,
        // whenever dictation can run): a press meanwhile shows the panel itself.
        preparedOutOfSight,
    };

    // A given container is used unchanged and nothing live is built; none builds the live set for
    // this configuration (AppConfigurationError when its backend address is unusable).
    explicit AppRuntime(std::optional<AppBootstrap> bootstrap = std::nullopt,
                        const AppConfiguration& configuration = AppConfiguration::current(),
                        OverlayStart overlayStart = OverlayStart::atFirstSession);
    ~AppRuntime();
    AppRuntime(const AppRuntime&) = delete;
    AppRuntime& operator=(const AppRuntime&) = delete;

    const AppBootstrap& bootstrap() const { return m_bootstrap; }
    AppViewModel& viewModel() const { return *m_viewModel; }
    RuntimeOverlayController& overlayController() const { return *m_overlayController; }
    // The engine every window of the app builds its views in.
    QQmlEngine& viewEngine() const { return *m_viewEngine; }
    // Why this run ends, in the diagnostics log.
    AppExitLog& exitLog() const { return *m_exitLog; }

private:
    // Declared in the order they are made; they go in reverse.
    std::unique_ptr<QNetworkAccessManager> m_network;
    AppBootstrap m_bootstrap;
    std::unique_ptr<AppViewModel> m_viewModel;
    std::unique_ptr<QtTranslations> m_qtTranslations;
    std::unique_ptr<QQmlEngine> m_viewEngine;
    std::unique_ptr<RuntimeOverlayController> m_overlayController;
    std::unique_ptr<AppExitLog> m_exitLog;
};

}  // namespace quorvelle
