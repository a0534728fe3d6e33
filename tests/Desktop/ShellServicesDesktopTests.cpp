// The shell's services on the real desktop: the X server's key grabs, the session's accessibility
// switch, the user's autostart folder and the sound server. The first test is the one to look at when
// the desktop tests fail together: whether the private desktop they rely on is up.
#include "AppWindows.h"
#include "FixtureApp.h"
#include "Platform/Linux/AccessibilityBus.h"
#include "Platform/Linux/AccessibilityPermissionController.h"
#include "Platform/Linux/PulseAudioDeviceService.h"
#include "Platform/Linux/XcbHotKeyRegistrar.h"
#include "Platform/Linux/XdgAutostartController.h"
#include "Services/Delivery/DesktopInput.h"
#include "Services/System/CarbonHotkeyMonitor.h"
#include "Services/System/HotkeyMonitorError.h"
#include "Services/System/MicrophonePermissionController.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

#include <gtest/gtest.h>

#include <memory>

namespace quorvelle {
namespace {

// Counts the presses the X server delivers, repeats included, before the monitor sees them.
class CountingRegistrar final : public HotKeyRegistering {
public:
    int rawPresses = 0;
    void installEventHandler(std::function<void(Event)> handler) override {
        m_real.installEventHandler([this, handler](Event event) {
            rawPresses += event == Event::pressed;
            handler(event);
        });
    }
    void removeEventHandler() override { m_real.removeEventHandler(); }
    void registerHotKey(quint32 keyCode, quint32 modifiers) override { m_real.registerHotKey(keyCode, modifiers); }
    void unregisterHotKey() override { m_real.unregisterHotKey(); }

private:
    XcbHotKeyRegistrar m_real;
};

const QStringList kControlAltSpace{"Control_L", "Alt_L", "space"};

TEST(DesktopEnvironment, AccessibilityBusIsEnabled) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    EXPECT_TRUE(AccessibilityBus::isEnabled());
}

class ShellDesktop : public ::testing::Test {
protected:
    CountingRegistrar* registrar = new CountingRegistrar;
    CarbonHotkeyMonitor monitor{std::unique_ptr<HotKeyRegistering>(registrar)};
    int downs = 0;
    int ups = 0;

    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    }
    void start(quint32 keyCode, quint32 modifiers) {
        monitor.startMonitoring(
            {keyCode, modifiers, {}}, [this] { ++downs; }, [this] { ++ups; });
    }
    // Presses the chord, holds it until `held` says so, lets go, and waits for the release.
    void press(const QStringList& keys, const std::function<bool()>& held = {}) {
        const int upsBefore = ups;
        test::sendKeys(keys, true);
        EXPECT_TRUE(!held || test::waitUntil(held)) << "the held chord never got there";
        test::sendKeys(keys, false);
        test::waitUntil([&] { return ups > upsBefore; });
    }
};

TEST_F(ShellDesktop, OnePressAndOneReleasePerPhysicalPressInEveryLockStateAndWhileHeld) {
    ASSERT_NO_THROW(start(49, 0x1800));
    press(kControlAltSpace);
    EXPECT_EQ(std::pair(downs, ups), std::pair(1, 1));

    ASSERT_TRUE(test::setNumLock(true));
    press(kControlAltSpace);
    test::setNumLock(false);
    EXPECT_EQ(std::pair(downs, ups), std::pair(2, 2));

    test::setQuickAutoRepeat(true);
    const int rawBefore = registrar->rawPresses;
    // Held until the server has repeated the key a few times.
    press(kControlAltSpace, [&] { return registrar->rawPresses - rawBefore > 5; });
    test::setQuickAutoRepeat(false);
    EXPECT_EQ(std::pair(downs, ups), std::pair(3, 3));
}

TEST_F(ShellDesktop, ACombinationAnotherClientHoldsIsRefusedAtOnceAndNothingStaysGrabbed) {
    test::OtherXClient holder;
    // Only the Num Lock variant: our other three grabs succeed and must be let go again.
    ASSERT_EQ(holder.grabKey("space", 0x0c | 0x10), 0);
    try {
        start(49, 0x1800);
        ADD_FAILURE() << "the grab was not refused";
    } catch (const HotkeyMonitorError& error) {
        EXPECT_EQ(error.errorCase(), HotkeyMonitorError::Case::registrationFailed);
        EXPECT_EQ(error.status(), 10) << error.what();
        EXPECT_TRUE(error.detail().contains("BadAccess")) << error.what();
    }
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_EQ(test::OtherXClient().grabKey("space", 0x0c | 0x02), 0);
}

TEST_F(ShellDesktop, AfterStopTheKeyReachesTheFocusedFieldAgain) {
    test::FixtureApp fixture(test::FixtureApp::Toolkit::Qt, QStringLiteral("Hot key"));
    fixture.focus(QStringLiteral("single"));
    ASSERT_TRUE(test::bringToFront(fixture.processId()));
    // Shift+K types a letter when nobody holds it, so where the key went shows in the field.
    const QStringList keys{"Shift_L", "k"};
    ASSERT_NO_THROW(start(40, 0x200));
    press(keys);
    monitor.stopMonitoring();
    test::sendKeys(keys, true);
    test::sendKeys(keys, false);
    EXPECT_TRUE(test::waitUntil([&] { return fixture.texts().value("single").toString() == "K"; }))
        << fixture.texts().value("single").toString().toStdString();
    EXPECT_EQ(downs, 1);
}

TEST_F(ShellDesktop, AccessibilitySwitchAutostartEntryAndMicrophoneOfThisSession) {
    AccessibilityPermissionController accessibility;
    ASSERT_TRUE(AccessibilityBus::setEnabled(false));
    EXPECT_FALSE(accessibility.isTrusted());
    EXPECT_TRUE(accessibility.promptForTrust());
    EXPECT_TRUE(accessibility.isTrusted());

    XdgAutostartController autostart;
    EXPECT_EQ(autostart.entryPath(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/com.dovent.Quorvelle.desktop");
    EXPECT_EQ(autostart.setEnabled(true), StartAtLoginStatus::enabled);
    EXPECT_EQ(XdgAutostartController().currentStatus(), StartAtLoginStatus::enabled);
    EXPECT_EQ(autostart.setEnabled(false), StartAtLoginStatus::disabled);

    PulseAudioDeviceService devices;
    EXPECT_EQ(MicrophonePermissionController(devices).authorizationStatus(), PermissionState::authorized);
}

// The app keeps the switch as the bus last announced it: a change made by another program (the
// desktop's settings) must still reach it, both ways.
TEST_F(ShellDesktop, TheAccessibilitySwitchFollowsChangesMadeByOtherPrograms) {
    AccessibilityPermissionController accessibility;
    const std::shared_ptr<void> restore(nullptr, [](void*) { AccessibilityBus::setEnabled(true); });
    ASSERT_TRUE(AccessibilityBus::setEnabled(true));
    ASSERT_TRUE(accessibility.isTrusted());
    QDBusConnection elsewhere = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "elsewhere");
    const auto switchElsewhere = [&](bool on) {
        QDBusMessage call =
            QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set");
        call << QString("org.a11y.Status") << QString("IsEnabled") << QVariant::fromValue(QDBusVariant(on));
        return elsewhere.call(call).type() == QDBusMessage::ReplyMessage;
    };
    ASSERT_TRUE(switchElsewhere(false));
    EXPECT_TRUE(test::waitUntil([&] { return !accessibility.isTrusted(); }, 5000));
    ASSERT_TRUE(switchElsewhere(true));
    EXPECT_TRUE(test::waitUntil([&] { return accessibility.isTrusted(); }, 5000));
    QDBusConnection::disconnectFromBus("elsewhere");
}

}  // namespace
}  // namespace quorvelle
