#include "Services/System/HotkeyMonitorError.h"
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

class SystemActions : public ViewModelTest {
protected:
    void expectPermission(const char* language, bool microphone, bool granted, const QString& message) {
        fakes.microphonePermission->status = PermissionState::notDetermined;
        fakes.microphonePermission->requestAnswer.setFallback(granted);
        fakes.accessibilityPermission->trusted = false;
        fakes.accessibilityPermission->promptAnswer.setFallback(granted);
        PermissionsViewModel& permissions = *make(language).permissions();
        const ActionOutcome outcome = run([&] {
            microphone ? permissions.requestMicrophonePermission() : permissions.requestAccessibilityPermission();
        });
        const QString name = microphone ? QStringLiteral("Microphone") : QStringLiteral("Accessibility");
        SCOPED_TRACE(message.toStdString());
        EXPECT_EQ(outcome.message, message);
        EXPECT_EQ(outcome.codes, QStringList{"permissions." + name.toLower() + (granted ? ".authorized" : ".denied")});
        const SanitizedDiagnosticsEvent& event = fakes.diagnostics->stored.first();
        EXPECT_EQ(event.message, name + (granted ? " izni verildi." : " izni eksik."));
        EXPECT_EQ(event.level, granted ? DiagnosticsEventLevel::info : DiagnosticsEventLevel::warning);
        // Reloaded: the record shows the answer.
        const OnboardingStatus& status = permissions.onboardingStatus();
        const PermissionState state = microphone ? status.microphonePermission : status.accessibilityPermission;
        EXPECT_EQ(state == PermissionState::authorized, granted);
    }

    template <typename Answer>
    void expectStartAtLogin(const char* language, Answer answer, StartAtLoginStatus status, const QString& message,
                            DiagnosticsEventLevel level) {
        fakes.startAtLogin->status = StartAtLoginStatus::disabled;
        answer(fakes.startAtLogin->setEnabledAnswer);
        PreferencesViewModel& prefs = *make(language).preferences();
        const ActionOutcome outcome = run([&] { prefs.setStartAtLoginEnabled(true); });
        SCOPED_TRACE(message.toStdString());
        EXPECT_EQ(prefs.startAtLoginStatus(), status);
        EXPECT_EQ(outcome.message, message);
        EXPECT_EQ(outcome.codes,
                  QStringList{level == DiagnosticsEventLevel::error ? "settings.start_at_login.update_failed"
                                                                    : "settings.start_at_login.updated"});
        EXPECT_EQ(fakes.diagnostics->stored.first().level, level);
        EXPECT_EQ(fakes.diagnostics->stored.first().message, message);
    }

    // monitorCalls: what the monitor was asked after construction (which registers it when ready).
    void expectHotkey(bool ready, const char* language, const HotkeyShortcut& hotkey, const QString& message,
                      const QStringList& codes, const QStringList& monitorCalls, bool active,
                      bool refuseRegistration = false) {
        fakes.userDefaults->removeValue(QString::fromLatin1(SettingsKeys::selectedHotkey));
        fakes.makeReadyForCloudDictation();
        fakes.account->storedSession = ready;
        AppViewModel& vm = make(language);
        fakes.hotkeyMonitor->calls.clear();
        if (refuseRegistration) fakes.hotkeyMonitor->startOutcome.pushFailure(HotkeyMonitorError({}, 10));
        const ActionOutcome outcome = run([&] { vm.preferences()->setHotkey(hotkey); });
        SCOPED_TRACE(message.toStdString());
        EXPECT_EQ(outcome.message, message);
        EXPECT_EQ(outcome.codes, codes);
        EXPECT_EQ(fakes.hotkeyMonitor->calls, monitorCalls);
        const bool stored = codes.contains(QStringLiteral("settings.hotkey.updated"));
        EXPECT_EQ(fakes.userDefaults->contains(QString::fromLatin1(SettingsKeys::selectedHotkey)), stored);
        EXPECT_EQ(vm.session()->isHotkeyMonitoringActive(), active);
    }
};

TEST_F(SystemActions, PermissionRequestsAndDisclosuresReportAndReload) {
    expectPermission("turkish", true, false, "Mikrofon izni olmadan dikte başlatılamaz.");
    expectPermission("english", true, true, "Microphone permission granted.");
    expectPermission("english", false, false,
                     "Reopen the window after granting Accessibility permission. Restart the app if needed.");
    expectPermission("turkish", false, true, "Accessibility izni verildi.");

    PermissionsViewModel& permissions = *make("turkish").permissions();
    for (int time = 0; time < 2; ++time) {
        const ActionOutcome outcome = run([&] { permissions.acceptPrivacyDisclosure(); });
        EXPECT_EQ(outcome.message, QStringLiteral("Gizlilik metni onaylandı."));
        EXPECT_TRUE(outcome.codes.isEmpty());
    }
    EXPECT_EQ(run([&] { permissions.acceptCloudDisclosure(); }).message, QStringLiteral("Cloud disclosure onaylandı."));
    EXPECT_TRUE(permissions.onboardingStatus().hasAcceptedPrivacyDisclosure);
    EXPECT_TRUE(permissions.onboardingStatus().hasAcceptedGroqDisclosure);
}

TEST_F(SystemActions, StartAtLoginPublishesTheSystemsStatusAndSaysWhatHappened) {
    using E = StartAtLoginError;
    const auto returns = [](StartAtLoginStatus status) { return [=](auto& answer) { answer.push(status); }; };
    const auto throws = [](auto error) { return [=](auto& answer) { answer.pushFailure(error); }; };
    expectStartAtLogin("english", returns(StartAtLoginStatus::requiresApproval), StartAtLoginStatus::requiresApproval,
                       "Approval in the desktop's settings is required for start at login.",
                       DiagnosticsEventLevel::info);
    expectStartAtLogin("turkish", returns(StartAtLoginStatus::unsupported), StartAtLoginStatus::unsupported,
                       "Start-at-login bu masaüstü ortamında desteklenmiyor.", DiagnosticsEventLevel::warning);
    // A refusal shows the status read again, whatever the switch asked for.
    expectStartAtLogin("turkish", throws(E(E::Case::unsupported)), StartAtLoginStatus::disabled,
                       "Start-at-login bu ortamda desteklenmiyor.", DiagnosticsEventLevel::error);
    expectStartAtLogin("english", throws(std::runtime_error("io")), StartAtLoginStatus::disabled,
                       "Start at login setting could not be updated.", DiagnosticsEventLevel::error);

    PreferencesViewModel& prefs = *make("english").preferences();
    fakes.startAtLogin->status = StartAtLoginStatus::enabled;
    const ActionOutcome opened = run([&] { prefs.openLoginItemsSettings(); });
    EXPECT_EQ(fakes.startAtLogin->calls.mid(fakes.startAtLogin->calls.size() - 2),
              QStringList({"openSystemSettings", "currentStatus"}));
    EXPECT_EQ(prefs.startAtLoginStatus(), StartAtLoginStatus::enabled);
    EXPECT_EQ(opened.message, QStringLiteral("Approve Quorvelle in the desktop's settings under Autostart."));
    EXPECT_EQ(opened.codes, QStringList{"settings.start_at_login.system_settings_opened"});
}

TEST_F(SystemActions, MicrophoneChoiceIsStoredAndAMissingDeviceKeepsIt) {
    const AudioDeviceInfo builtIn{1, QStringLiteral("builtin"), QStringLiteral("Built-in"), true};
    const QString usb = QStringLiteral("usb");
    fakes.audioDevices->devices = {builtIn, {2, usb, QStringLiteral("USB Mic"), false}};
    AppViewModel& vm = make("english");
    const auto pick = [&](const std::optional<QString>& uid) {
        return run([&] { vm.preferences()->setMicrophonePreference(uid); });
    };
    EXPECT_EQ(pick(std::nullopt).codes, QStringList());
    EXPECT_EQ(pick(usb).codes, QStringList{"settings.microphone.updated"});
    EXPECT_EQ(pick(usb).message, QStringLiteral("Microphone setting is already active: USB Mic."));
    const ActionOutcome vanished = pick(QStringLiteral("gone"));
    EXPECT_EQ(vanished.message, QStringLiteral("Selected microphone was not found. System Default is being used."));
    EXPECT_EQ(vanished.codes, QStringList{"settings.microphone.updated"});
    EXPECT_EQ(fakes.settingsStore->selectedMicrophonePreference(), std::nullopt);
    EXPECT_EQ(pick(usb).message, QStringLiteral("Microphone setting updated: USB Mic."));
    EXPECT_EQ(fakes.audioCapture->preferredDeviceUIDs.last(), usb);
    EXPECT_EQ(vm.microphoneSelectionMessage(), QStringLiteral("Active microphone: USB Mic."));

    // Unplugged: the choice stays, the default stands in; back under a new name, it is rewritten.
    fakes.audioDevices->devices = {builtIn};
    vm.refreshInputDevices(false);
    EXPECT_EQ(vm.inlineMessageText(), QStringLiteral("Microphone setting updated: USB Mic."));
    EXPECT_EQ(vm.microphoneSelectionMessage(),
              QStringLiteral("Selected microphone is not connected. System Default is being used temporarily."));
    EXPECT_EQ(vm.selectedMicrophoneLabel(), QStringLiteral("USB Mic (bagli degil)"));
    EXPECT_EQ(fakes.settingsStore->selectedMicrophonePreference(),
              (AudioInputDevicePreference{usb, QStringLiteral("USB Mic")}));
    EXPECT_EQ(fakes.audioCapture->preferredDeviceUIDs.last(), usb);
    fakes.audioDevices->devices = {builtIn, {2, usb, QStringLiteral("USB Mic 2"), false}};
    EXPECT_EQ(pick(usb).message, QStringLiteral("Microphone setting updated: USB Mic 2."));

    fakes.audioDevices->devices = {};
    vm.refreshInputDevices(true);
    EXPECT_EQ(vm.inlineMessageText(), QStringLiteral("Microphone list refreshed. No input device found."));
}

TEST_F(SystemActions, HotkeyChangeRestartsTheMonitorOnlyWhenDictationCanRun) {
    const HotkeyShortcut controlAltR = HotkeyShortcut::suggestions().at(2);
    const QStringList restart{"stopMonitoring", "startMonitoring(Control + Alt + R)"};
    const QStringList updated{"settings.hotkey.updated"};
    expectHotkey(true, "english", {49, 0x1800, QStringLiteral("Ctrl Alt Space")},
                 "This hotkey is already active: Ctrl Alt Space.", {}, {}, true);
    expectHotkey(true, "english", {49, 0x1100, QStringLiteral("Control + Super + Space")},
                 "Super + Space masaustu aramasiyla cakisir. Suggestions: Control + Alt + Space, Control + Alt + "
                 "Return, Control + Alt + R.",
                 {"settings.hotkey.validation_failed"}, {}, true);
    EXPECT_EQ(fakes.diagnostics->stored.first().message, QStringLiteral("Super + Space masaustu aramasiyla cakisir."));
    expectHotkey(true, "turkish", controlAltR, "Hotkey güncellendi: Control + Alt + R.", updated, restart, true);
    expectHotkey(false, "english", controlAltR, "Hotkey updated: Control + Alt + R.", updated, {"stopMonitoring"},
                 false);
    expectHotkey(true, "turkish", controlAltR, "Hotkey dinleyici başlatılamadı.",
                 {"settings.hotkey.updated", "hotkey.monitor.start_failed"}, restart, false, true);

    // The registered combination's presses reach the session on the main thread, from any thread.
    QSignalSpy presses(viewModel->session(), &SessionViewModel::hotkeyPressed);
    viewModel->preferences()->setHotkey(HotkeyShortcut::suggestions().at(1));
    fakes.hotkeyMonitor->press();
    fakes.hotkeyMonitor->pressFromAnotherThread();
    EXPECT_EQ(presses.count(), 1);
    EXPECT_TRUE(presses.wait(1000));
    viewModel->preferences()->reportHotkeyCaptureUnsupported(
        QStringLiteral("Bu tuş kombinasyonu şimdilik desteklenmiyor."));
    EXPECT_EQ(viewModel->inlineMessageText(), QStringLiteral("Bu tuş kombinasyonu şimdilik desteklenmiyor. Öneriler: "
                                                             "Control + Alt + Space, Control + Alt + R."));
    EXPECT_EQ(fakes.diagnostics->codes().first(), QStringLiteral("settings.hotkey.capture_unsupported"));
}

}  // namespace
}  // namespace quorvelle::test
