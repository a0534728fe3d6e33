#include "ViewModel/SessionCoordinator.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

TEST(SessionCoordinator, StartsIdle) {
    SessionCoordinator coordinator;
    EXPECT_EQ(coordinator.state(), SessionState::idle());
}

}  // namespace
}  // namespace quorvelle
