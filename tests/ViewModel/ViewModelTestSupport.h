#pragma once

#include "FakeBootstrap.h"
#include "Services/Storage/SettingsKeys.h"
#include "ViewModel/AppViewModel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <memory>

namespace quorvelle::test {

// A view model over the fake services; change the fakes before calling make().
class ViewModelTest : public ::testing::Test {
protected:
    FakeBootstrap fakes;
    std::unique_ptr<AppViewModel> viewModel;

    AppViewModel& make() { return make(fakes.bootstrap()); }
    AppViewModel& make(const AppBootstrap& services) {
        viewModel = std::make_unique<AppViewModel>(services, fakes.environment());
        return *viewModel;
    }

    void storeString(const char* key, const QString& value) {
        fakes.userDefaults->setString(QString::fromLatin1(key), value);
    }
    void storeBool(const char* key, bool value) { fakes.userDefaults->setBool(QString::fromLatin1(key), value); }

    // Runs what is queued for the main thread, the view model's subscription deliveries included.
    static void settle() {
        for (int turn = 0; turn < 5; ++turn)
            QCoreApplication::processEvents();
    }
};

}  // namespace quorvelle::test
