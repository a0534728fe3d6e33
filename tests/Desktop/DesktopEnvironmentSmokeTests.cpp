// The first thing to look at when the desktop tests fail together: whether the private desktop they
// rely on is up. The Qt and GTK fields on its accessibility bus, its test microphone and its keyring
// are each exercised by the delivery, capture and keyring tests.
#include "Platform/Linux/AccessibilityBus.h"

#include <QByteArray>
#include <QtGlobal>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

TEST(DesktopEnvironment, AccessibilityBusIsEnabled) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    EXPECT_TRUE(AccessibilityBus::isEnabled());
}

}  // namespace
}  // namespace quorvelle
