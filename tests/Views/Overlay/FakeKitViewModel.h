#pragma once

#include "FakeBootstrap.h"
#include "ViewHarness.h"
#include "ViewModel/AppViewModel.h"

#include <QCoreApplication>
#include <QQmlContext>

namespace quorvelle::test {

// The real view model on the fake services, given to the harness's scenes as `vm`; the session's
// values arrive a turn of the event loop after the fakes send them.
struct FakeKitViewModel {
    FakeKitViewModel() { harness.engine().rootContext()->setContextProperty("vm", &vm); }

    void show(const SessionState& state) {
        fakes.sessionCoordinator->statePublisher().send(state);
        settle();
    }
    void publishLevels(const AudioLevelSnapshot& snapshot) {
        fakes.audioCapture->levelPublisher().send(snapshot);
        settle();
    }
    static void settle() {
        for (int turn = 0; turn < 8; ++turn)
            QCoreApplication::processEvents();
    }

    FakeBootstrap fakes;
    AppViewModel vm{fakes.bootstrap(), fakes.environment()};
    ViewHarness harness;
};

}  // namespace quorvelle::test
