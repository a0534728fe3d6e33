#pragma once

#include "ViewModelTestSupport.h"

namespace quorvelle::test {

// The common view-model fixture with short ways to the account and model parts.
class ViewModelPartsFixture : public ViewModelTest {
protected:
    AccountViewModel& account() { return *viewModel->account(); }
    LocalModelsViewModel& models() { return *viewModel->localModels(); }
    QString message() const { return viewModel->inlineMessageText(); }
};

}  // namespace quorvelle::test
