#pragma once

#include "FakeBootstrap.h"
#include "Services/Storage/SettingsKeys.h"
#include "ViewModel/AppViewModel.h"

#include <QCoreApplication>

#include <functional>
#include <memory>

namespace quorvelle::test {

// A view model over fakes, ready for cloud dictation unless `adjust` says otherwise.
struct DictationRig {
    FakeBootstrap fakes;
    std::unique_ptr<AppViewModel> vm;

    explicit DictationRig(const std::function<void(FakeBootstrap&, AppBootstrap&)>& adjust = {}) {
        fakes.makeReadyForCloudDictation();
        AppBootstrap services = fakes.bootstrap();
        if (adjust) adjust(fakes, services);
        vm = std::make_unique<AppViewModel>(services, fakes.environment());
        settle();
    }

    SessionViewModel& session() const { return *vm->session(); }
    SessionState state() const { return settle(), session().runtimeState(); }
    QString message() const { return vm->inlineMessage().value_or(QString()); }
    QStringList codes() const { return fakes.diagnostics->codes(); }
    void press() const { session().handleHotkeyPressed(), settle(); }
    void release() const { session().handleHotkeyReleased(), settle(); }
    // Press, speak that loud, release.
    void dictate(double peak = 0.3) {
        press();
        AudioLevelSnapshot level = AudioLevelSnapshot::silent();
        level.peakPower = peak;
        fakes.audioCapture->levelPublisher().send(level);
        settle();
        release();
    }

    static void settle() {
        for (int turn = 0; turn < 8; ++turn)
            QCoreApplication::processEvents();
    }
};

}  // namespace quorvelle::test
