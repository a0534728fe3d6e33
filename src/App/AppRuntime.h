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
class HotkeyStartGate;
class QtTranslations;
class RuntimeOverlayController;

// The composition root: the services, the one view model over them and the overlay controller,
// made once and kept for the whole run. Main thread only.
class AppRuntime {
public:
    enum class HotkeyStart {
        atOnce,
        // The overlay's first frame is drawn, out of sight, once the event loop runs, and the hot key
        // is registered only after it: on a software-rendered display that frame holds the main
        // thread for up to seconds, and a press it held would start the recording late.
        afterTheOverlaysFirstFrame,
    };

    // A given container is used unchanged (but for the hot key's gate) and nothing live is built;
    // none builds the live set for this configuration (AppConfigurationError when its backend
    // address is unusable).
    explicit AppRuntime(std::optional<AppBootstrap> bootstrap = std::nullopt,
                        const AppConfiguration& configuration = AppConfiguration::current(),
                        HotkeyStart hotkeyStart = HotkeyStart::atOnce);
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
    std::shared_ptr<HotkeyStartGate> m_hotkeyGate;
    AppBootstrap m_bootstrap;
    std::unique_ptr<AppViewModel> m_viewModel;
    std::unique_ptr<QtTranslations> m_qtTranslations;
    std::unique_ptr<QQmlEngine> m_viewEngine;
    std::unique_ptr<RuntimeOverlayController> m_overlayController;
    std::unique_ptr<AppExitLog> m_exitLog;
};

}  // namespace quorvelle
