#include "Services/System/HotkeyMonitorError.h"
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using SystemActions = ViewModelTest;

TEST_F(SystemActions, PermissionRequestsAndDisclosuresReportAndReload) {
    const auto request = [&](const char* language, bool microphone, bool granted) {
        fakes.microphonePermission->status = PermissionState::notDetermined;
        fakes.microphonePermission->requestAnswer.setFallback(granted);
        fakes.accessibilityPermission->trusted = false;
        fakes.accessibilityPermission->promptAnswer.setFallback(granted);
        PermissionsViewModel& permissions = *make(language).permissions();
        const ActionOutcome outcome = run([&] {
            microphone ? permissions.requestMicrophonePermission() : permissions.requestAccessibilityPermission();
        });
        const OnboardingStatus& status = permissions.onboardingStatus();
        const PermissionState state = microphone ? status.microphonePermission : status.accessibilityPermission;
        EXPECT_EQ(state == PermissionState::authorized, granted);
        return said(outcome);
    };
    EXPECT_EQ(request("turkish", true, false),
              "Mikrofon izni olmadan dikte başlatılamaz. | permissions.microphone.denied");
    EXPECT_EQ(request("english", false, false),
              "Reopen the window after granting Accessibility permission. Restart the app if needed. | "
              "permissions.accessibility.denied");
    EXPECT_EQ(request("turkish", false, true), "Accessibility izni verildi. | permissions.accessibility.authorized");

    PermissionsViewModel& permissions = *make("turkish").permissions();
    for (int time = 0; time < 2; ++time)
        EXPECT_EQ(said(run([&] { permissions.acceptPrivacyDisclosure(); })), "Gizlilik metni onaylandı. | ");
    EXPECT_EQ(run([&] { permissions.acceptCloudDisclosure(); }).message, QStringLiteral("Cloud disclosure onaylandı."));
    EXPECT_TRUE(permissions.onboardingStatus().hasAcceptedPrivacyDisclosure);
    EXPECT_TRUE(permissions.onboardingStatus().hasAcceptedGroqDisclosure);
}

TEST_F(SystemActions, StartAtLoginPublishesTheSystemsStatusAndSaysWhatHappened) {
    using S = StartAtLoginStatus;
    using E = StartAtLoginError;
    const auto enable = [&](const char* language, const std::function<void(Scripted<S>&)>& answer) {
        fakes.startAtLogin->status = S::disabled;
        answer(fakes.startAtLogin->setEnabledAnswer);
        PreferencesViewModel& prefs = *make(language).preferences();
        const ActionOutcome outcome = run([&] { prefs.setStartAtLoginEnabled(true); });
        const SanitizedDiagnosticsEvent& event = fakes.diagnostics->stored.first();
        EXPECT_EQ(event.message, outcome.message);
        return rawValue(prefs.startAtLoginStatus()) + u' ' + rawValue(event.level) + u' ' + said(outcome);
    };
    EXPECT_EQ(enable("english", [](auto& a) { a.push(S::requiresApproval); }),
              "requiresApproval info Approval in the desktop's settings is required for start at login. | "
              "settings.start_at_login.updated");
    // A refusal shows the status read again, whatever the switch asked for.
    EXPECT_EQ(enable("turkish", [](auto& a) { a.pushFailure(E(E::Case::unsupported)); }),
              "disabled error Start-at-login bu ortamda desteklenmiyor. | settings.start_at_login.update_failed");
    EXPECT_EQ(enable("english", [](auto& a) { a.pushFailure(std::runtime_error("io")); }),
              "disabled error Start at login setting could not be updated. | settings.start_at_login.update_failed");
}

TEST_F(SystemActions, MicrophoneChoiceIsStoredAndAMissingDeviceKeepsIt) {
    const AudioDeviceInfo builtIn{1, QStringLiteral("builtin"), QStringLiteral("Built-in"), true};
    const QString usb = QStringLiteral("usb");
    fakes.audioDevices->devices = {builtIn, {2, usb, QStringLiteral("USB Mic"), false}};
    AppViewModel& vm = make("english");
    const auto pick = [&](const std::optional<QString>& uid) {
        return said(run([&] { vm.preferences()->setMicrophonePreference(uid); }));
    };
    EXPECT_EQ(pick(std::nullopt), "Microphone setting is already active: System Default. | ");
    EXPECT_EQ(pick(usb), "Microphone setting updated: USB Mic. | settings.microphone.updated");
    EXPECT_EQ(pick(usb), "Microphone setting is already active: USB Mic. | ");
    EXPECT_EQ(pick(QStringLiteral("gone")),
              "Selected microphone was not found. System Default is being used. | settings.microphone.updated");
    EXPECT_EQ(fakes.settingsStore->selectedMicrophonePreference(), std::nullopt);
    EXPECT_EQ(pick(usb), "Microphone setting updated: USB Mic. | settings.microphone.updated");
    EXPECT_EQ(fakes.audioCapture->preferredDeviceUIDs.last(), usb);

    fakes.audioDevices->devices = {builtIn};
    vm.refreshInputDevices(false);
    EXPECT_EQ(vm.inlineMessageText(), QStringLiteral("Microphone setting updated: USB Mic."));
    EXPECT_EQ(vm.microphoneSelectionMessage(),
              QStringLiteral("Selected microphone is not connected. System Default is being used temporarily."));
    EXPECT_EQ(fakes.settingsStore->selectedMicrophonePreference(),
              (AudioInputDevicePreference{usb, QStringLiteral("USB Mic")}));
    EXPECT_EQ(fakes.audioCapture->preferredDeviceUIDs.last(), usb);

    // The snapshot refreshes of one dictation share one listing of the sound server's devices.
    const int listings = fakes.audioDevices->callCount;
    for (int refresh = 0; refresh < 3; ++refresh)
        vm.refreshDiagnosticsSnapshot();
    EXPECT_EQ(fakes.audioDevices->callCount, listings);
    fakes.clock.advance(11);
    vm.refreshDiagnosticsSnapshot();
    vm.refreshDiagnosticsSnapshot();
    EXPECT_EQ(fakes.audioDevices->callCount, listings + 1);
}

TEST_F(SystemActions, HotkeyChangeRestartsTheMonitorOnlyWhenDictationCanRun) {
    // ready: signed in, so dictation can run and the monitor was registered at construction.
    const auto change = [&](bool ready, const char* language, const HotkeyShortcut& hotkey, bool refuse = false) {
        fakes.userDefaults->removeValue(QString::fromLatin1(SettingsKeys::selectedHotkey));
        fakes.makeReadyForCloudDictation();
        fakes.account->storedSession = ready;
        AppViewModel& vm = make(language);
        fakes.hotkeyMonitor->calls.clear();
        if (refuse) fakes.hotkeyMonitor->startOutcome.pushFailure(HotkeyMonitorError({}, 10));
        const ActionOutcome outcome = run([&] { vm.preferences()->setHotkey(hotkey); });
        EXPECT_EQ(fakes.userDefaults->contains(QString::fromLatin1(SettingsKeys::selectedHotkey)),
                  outcome.codes.contains(QStringLiteral("settings.hotkey.updated")));
        return QStringList{said(outcome), fakes.hotkeyMonitor->calls.join(u','),
                           vm.session()->isHotkeyMonitoringActive() ? u"active"_qs : u"inactive"_qs}
            .join(QStringLiteral(" | "));
    };
    const HotkeyShortcut controlAltR = HotkeyShortcut::suggestions().at(2);
    EXPECT_EQ(change(true, "english", {49, 0x1800, u"Ctrl Alt Space"_qs}),
              "This hotkey is already active: Ctrl Alt Space. |  |  | active");
    EXPECT_EQ(change(true, "english", {49, 0x1100, u"Control + Super + Space"_qs}),
              "Super + Space masaustu aramasiyla cakisir. Suggestions: Control + Alt + Space, Control + Alt + Return, "
              "Control + Alt + R. | settings.hotkey.validation_failed |  | active");
    EXPECT_EQ(change(true, "turkish", controlAltR),
              "Hotkey güncellendi: Control + Alt + R. | settings.hotkey.updated | stopMonitoring,startMonitoring("
              "Control + Alt + R) | active");
    EXPECT_EQ(change(false, "english", controlAltR),
              "Hotkey updated: Control + Alt + R. | settings.hotkey.updated | stopMonitoring | inactive");
    EXPECT_EQ(change(true, "turkish", controlAltR, true),
              "Hotkey dinleyici başlatılamadı. | settings.hotkey.updated,hotkey.monitor.start_failed | "
              "stopMonitoring,startMonitoring(Control + Alt + R) | inactive");

    // The registered combination's presses reach the session on the main thread, from any thread.
    QSignalSpy presses(viewModel->session(), &SessionViewModel::hotkeyPressed);
    viewModel->preferences()->setHotkey(HotkeyShortcut::suggestions().at(1));
    fakes.hotkeyMonitor->press();
    fakes.hotkeyMonitor->pressFromAnotherThread();
    EXPECT_EQ(presses.count(), 1);
    EXPECT_TRUE(presses.wait(1000));
    const QString unsupported = QStringLiteral("Bu tuş kombinasyonu şimdilik desteklenmiyor.");
    viewModel->preferences()->reportHotkeyCaptureUnsupported(unsupported);
    EXPECT_EQ(message(), unsupported + " Öneriler: Control + Alt + Space, Control + Alt + R.");
    EXPECT_EQ(fakes.diagnostics->codes().first(), QStringLiteral("settings.hotkey.capture_unsupported"));
}

}  // namespace
}  // namespace quorvelle::test
