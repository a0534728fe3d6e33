#include "FakeBootstrap.h"
#include "ViewModel/AppViewModel.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

TEST(ViewModelConstruction, BuildsFromFakesAndLoadsTheSettings) {
    test::FakeBootstrap fakes;
    AppViewModel viewModel(fakes.bootstrap(), fakes.environment());
    EXPECT_EQ(viewModel.session()->runtimeState(), SessionState::idle());
    EXPECT_EQ(viewModel.localModels()->localModelStatuses().size(), 5);
}

}  // namespace
}  // namespace quorvelle
