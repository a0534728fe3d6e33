// The view model's microphone and hot-key choices over the real sound server and X server.
#include "FakeBootstrap.h"
#include "PipeMicrophone.h"
#include "Platform/Linux/PulseAudioDeviceService.h"
#include "Platform/Linux/XcbHotKeyRegistrar.h"
#include "Services/System/CarbonHotkeyMonitor.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "ViewModel/AppViewModel.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

class ViewModelActionsDesktop : public ::testing::Test {
protected:
    test::FakeBootstrap fakes;

    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    }
};

TEST_F(ViewModelActionsDesktop, AMicrophoneAddedAndRemovedShowsInTheRefreshedList) {
    AppBootstrap services = fakes.bootstrap();
    services.audioDeviceService = std::make_shared<PulseAudioDeviceService>();
    AppViewModel vm(services, fakes.environment());
    const auto listed = [&] {
        vm.refreshInputDevices(true);
        for (const AudioDeviceInfo& device : vm.diagnostics()->diagnosticsSnapshot().audioDevices)
            if (device.uid == QLatin1String("actionsmic")) return true;
        return false;
    };
    ASSERT_FALSE(listed());

    QTemporaryDir dir;
    const QByteArray module = test::loadPipeMicrophone(
        QStringLiteral("actionsmic"), dir.filePath(QStringLiteral("mic.fifo")), QStringLiteral("ActionsMic"));
    ASSERT_FALSE(module.isEmpty()) << "could not add a test microphone";
    EXPECT_TRUE(test::waitUntil(listed));
    EXPECT_EQ(vm.inlineMessageText(), QStringLiteral("Microphone list refreshed."));
    vm.preferences()->setMicrophonePreference(QStringLiteral("actionsmic"));
    EXPECT_EQ(vm.microphoneSelectionMessage(), QStringLiteral("Active microphone: ActionsMic."));

    test::unloadPipeMicrophone(module);
    EXPECT_TRUE(test::waitUntil([&] { return !listed(); }));
    EXPECT_EQ(vm.selectedMicrophoneLabel(), QStringLiteral("ActionsMic (bagli degil)"));
}

TEST_F(ViewModelActionsDesktop, AfterAHotkeyChangeOnlyTheNewCombinationFires) {
    fakes.makeReadyForCloudDictation();
    AppBootstrap services = fakes.bootstrap();
    services.hotkeyMonitor = std::make_shared<CarbonHotkeyMonitor>(std::make_unique<XcbHotKeyRegistrar>());
    AppViewModel vm(services, fakes.environment());
    QSignalSpy presses(vm.session(), &SessionViewModel::hotkeyPressed);
    const auto press = [&](const QStringList& keys) {
        test::sendKeys(keys, true);
        test::sendKeys(keys, false);
    };
    const QStringList controlAltReturn{"Control_L", "Alt_L", "Return"};
    const QStringList controlAltR{"Control_L", "Alt_L", "r"};

    vm.preferences()->setHotkey(HotkeyShortcut::suggestions().at(1));
    ASSERT_TRUE(vm.session()->isHotkeyMonitoringActive()) << vm.inlineMessageText().toStdString();
    press(controlAltReturn);
    EXPECT_TRUE(test::waitUntil([&] { return presses.count() == 1; }));

    vm.preferences()->setHotkey(HotkeyShortcut::suggestions().at(2));
    EXPECT_TRUE(vm.session()->isHotkeyMonitoringActive());
    // The server delivers in order: once the new combination has fired, the old one would have too.
    press(controlAltReturn);
    press(controlAltR);
    EXPECT_TRUE(test::waitUntil([&] { return presses.count() >= 2; }));
    EXPECT_EQ(presses.count(), 2) << "the old combination still fires";
}

}  // namespace
}  // namespace quorvelle
