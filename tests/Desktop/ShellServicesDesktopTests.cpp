// The shell's services against the real desktop: the X server's key grabs, the session's
// accessibility switch, the user's autostart folder and the sound server.
#include "FixtureApp.h"
#include "Platform/Linux/AccessibilityBus.h"
#include "Platform/Linux/AccessibilityPermissionController.h"
#include "Platform/Linux/PulseAudioDeviceService.h"
#include "Platform/Linux/SystemNavigator.h"
#include "Platform/Linux/XcbHotKeyRegistrar.h"
#include "Platform/Linux/XdgAutostartController.h"
#include "Services/Delivery/DesktopInput.h"
#include "Services/System/CarbonHotkeyMonitor.h"
#include "Services/System/HotkeyMonitorError.h"
#include "Services/System/MicrophonePermissionController.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

// Counts what the X server delivers before the monitor drops the repeats.
class CountingRegistrar final : public HotKeyRegistering {
public:
    int rawPresses = 0;

    void installEventHandler(std::function<void(Event)> handler) override {
        m_real.installEventHandler([this, handler](Event event) {
            if (event == Event::pressed) ++rawPresses;
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
const HotkeyShortcut kControlOptionSpace{49, 0x1800, QStringLiteral("Control + Alt + Space")};

class ShellDesktop : public ::testing::Test {
protected:
    CountingRegistrar* registrar = new CountingRegistrar;
    CarbonHotkeyMonitor monitor{std::unique_ptr<HotKeyRegistering>(registrar)};
    int downs = 0;
    int ups = 0;

    static bool onTestDesktop() { return qgetenv("QUORVELLE_DESKTOP_ENV") == "1"; }

    void SetUp() override {
        if (!onTestDesktop()) GTEST_SKIP() << "needs the desktop test environment (scripts/desktop-test-env)";
    }
    void TearDown() override {
        monitor.stopMonitoring();
        if (onTestDesktop()) test::setNumLock(false);
    }

    void start(const HotkeyShortcut& shortcut) {
        monitor.startMonitoring(
            shortcut, [this] { ++downs; }, [this] { ++ups; });
    }
    // Presses the chord, holds it, lets go, and waits for the release to arrive.
    void press(const QStringList& keys, int holdMs = 0) {
        const int upsBefore = ups;
        test::pressKeys(keys);
        if (holdMs > 0) test::waitUntil([] { return false; }, holdMs);
        test::releaseKeys(keys);
        test::waitUntil([&] { return ups > upsBefore; }, 3000);
    }
};

TEST_F(ShellDesktop, OnePressAndOneReleasePerPhysicalPressInEveryLockStateAndWhileHeld) {
    ASSERT_NO_THROW(start(kControlOptionSpace));
    press(kControlAltSpace);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);

    test::setNumLock(true);
    ASSERT_TRUE(test::isNumLockOn());
    press(kControlAltSpace);
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(ups, 2);
    test::setNumLock(false);

    test::AutoRepeatOn autoRepeat;
    const int rawBefore = registrar->rawPresses;
    press(kControlAltSpace, 2000);
    EXPECT_GT(registrar->rawPresses - rawBefore, 5) << "the server did not repeat the held key";
    EXPECT_EQ(downs, 3);
    EXPECT_EQ(ups, 3);
}

TEST_F(ShellDesktop, ACombinationAnotherClientHoldsIsRefusedAtOnceAndNothingStaysGrabbed) {
    test::OtherXClient holder;
    // Only the Num Lock variant: our other three grabs succeed and must be let go again.
    ASSERT_EQ(holder.grabKey("space", 0x0c | 0x10), 0);
    try {
        start(kControlOptionSpace);
        ADD_FAILURE() << "the grab was not refused";
    } catch (const HotkeyMonitorError& error) {
        EXPECT_EQ(error.errorCase(), HotkeyMonitorError::Case::registrationFailed);
        EXPECT_EQ(error.status(), 10) << error.what();
        EXPECT_TRUE(error.detail().contains("BadAccess")) << error.what();
    }
    EXPECT_FALSE(monitor.isMonitoring());
    test::OtherXClient next;
    EXPECT_EQ(next.grabKey("space", 0x0c), 0);
    EXPECT_EQ(next.grabKey("space", 0x0c | 0x02), 0);
}

TEST_F(ShellDesktop, AfterStopTheKeyReachesTheFocusedFieldAgain) {
    test::FixtureApp fixture(test::FixtureApp::Toolkit::Qt, QStringLiteral("Hot key"));
    test::activateWindowOf(fixture.processId());
    fixture.focus(QStringLiteral("single"));
    // Shift+K types a letter when nobody holds it, so where the key went can be read from the field.
    const HotkeyShortcut shiftK{40, 0x200, QStringLiteral("Shift + K")};
    const QStringList keys{"Shift_L", "k"};

    ASSERT_NO_THROW(start(shiftK));
    press(keys);
    EXPECT_EQ(downs, 1);
    monitor.stopMonitoring();
    test::pressKeys(keys);
    test::releaseKeys(keys);
    EXPECT_TRUE(test::waitUntil([&] { return fixture.texts().value("single").toString() == "K"; }, 5000))
        << fixture.texts().value("single").toString().toStdString();
    EXPECT_EQ(downs, 1);
}

TEST_F(ShellDesktop, TheTrustPromptTurnsTheAccessibilitySwitchOn) {
    AccessibilityPermissionController controller;
    EXPECT_TRUE(controller.isTrusted());
    ASSERT_TRUE(AccessibilityBus::setEnabled(false));
    EXPECT_FALSE(controller.isTrusted());
    EXPECT_TRUE(controller.promptForTrust());
    EXPECT_TRUE(controller.isTrusted());
}

TEST_F(ShellDesktop, AutostartEntryInThisUsersConfigFolderAndTheTestMicrophone) {
    XdgAutostartController autostart;
    EXPECT_EQ(autostart.entryPath(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/com.dovent.Quorvelle.desktop");
    EXPECT_EQ(autostart.setEnabled(true), StartAtLoginStatus::enabled);
    EXPECT_EQ(XdgAutostartController().currentStatus(), StartAtLoginStatus::enabled);
    EXPECT_EQ(autostart.setEnabled(false), StartAtLoginStatus::disabled);
    EXPECT_FALSE(QFile::exists(autostart.entryPath()));

    PulseAudioDeviceService devices;
    MicrophonePermissionController microphone(devices);
    EXPECT_EQ(microphone.authorizationStatus(), PermissionState::authorized);
}

TEST_F(ShellDesktop, SettingsPagesOpenTheDesktopsOwnTool) {
    // A stand-in for the desktop's tool that writes down how it was started.
    QTemporaryDir bin;
    const QString log = bin.filePath("started");
    QFile tool(bin.filePath("gnome-control-center"));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(log).toUtf8());
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("PATH", bin.path().toUtf8());
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");

    QStringList reports;
    SystemNavigator navigator([&](const QString& reason) { reports << reason; });
    navigator.open(SystemDestination::microphoneSettings());
    EXPECT_TRUE(test::waitUntil([&] { return QFile::exists(log); }, 5000));
    QFile started(log);
    EXPECT_TRUE(started.open(QIODevice::ReadOnly));
    EXPECT_EQ(started.readAll().trimmed(), "sound");
    EXPECT_TRUE(reports.isEmpty());

    qputenv("PATH", QByteArray("/nonexistent"));
    navigator.open(SystemDestination::accessibilitySettings());
    EXPECT_EQ(reports.size(), 1);

    qputenv("PATH", path);
    qputenv("XDG_CURRENT_DESKTOP", desktop);
}

}  // namespace
}  // namespace quorvelle
