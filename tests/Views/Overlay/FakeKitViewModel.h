#pragma once

#include "FakeBootstrap.h"
#include "ViewModel/AppViewModel.h"

#include <QCoreApplication>

namespace quorvelle::test {

// The real view model on the fake services, as the overlay, recorder and sheet tests give it to
// their scenes; the session's values arrive a turn of the event loop after the fakes send them.
struct FakeKitViewModel {
    FakeBootstrap fakes;
    AppViewModel vm{fakes.bootstrap(), fakes.environment()};

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
};

}  // namespace quorvelle::test
