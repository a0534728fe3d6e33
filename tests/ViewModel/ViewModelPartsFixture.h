#pragma once

#include "FakeBootstrap.h"
#include "ViewModel/AppViewModel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <memory>

namespace quorvelle::test {

// A view model over the fake services, built when a test asks for it (after changing the fakes).
class ViewModelPartsFixture : public ::testing::Test {
protected:
    AppViewModel& make() { return make(fakes.bootstrap()); }
    AppViewModel& make(const AppBootstrap& services) {
        viewModel = std::make_unique<AppViewModel>(services, fakes.environment());
        return *viewModel;
    }
    AccountViewModel& account() { return *viewModel->account(); }
    LocalModelsViewModel& models() { return *viewModel->localModels(); }
    QString message() const { return viewModel->inlineMessageText(); }
    void useTurkish() { viewModel->context().setAppLanguage(AppLanguageOption::turkish); }

    // Lets the answers that the fakes released reach the view model.
    static void settle() {
        for (int turn = 0; turn < 5; ++turn)
            QCoreApplication::processEvents();
    }

    FakeBootstrap fakes;
    std::unique_ptr<AppViewModel> viewModel;
};

}  // namespace quorvelle::test
