#include "Services/System/HotkeyMonitorError.h"
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using SystemActions = ViewModelTest;
using L = DiagnosticsEventLevel;

TEST_F(SystemActions, PermissionRequestsAndDisclosuresReportAndReload) {
    const struct {
        const char* language;
        bool microphone, granted;
        const char* message;
    } rows[] = {
        {"turkish", true, false, "Mikrofon izni olmadan dikte başlatılamaz."},
        {"english", true, true, "Microphone permission granted."},
        {"english", false, false,
         "Reopen the window after granting Accessibility permission. Restart the app if needed."},
        {"turkish", false, true, "Accessibility izni verildi."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        fakes.microphonePermission->status = PermissionState::notDetermined;
        fakes.microphonePermission->requestAnswer.setFallback(row.granted);
        fakes.accessibilityPermission->trusted = false;
        fakes.accessibilityPermission->promptAnswer.setFallback(row.granted);
        PermissionsViewModel& permissions = *make(row.language).permissions();
        const ActionOutcome outcome = run([&] {
            row.microphone ? permissions.requestMicrophonePermission() : permissions.requestAccessibilityPermission();
        });
        EXPECT_EQ(outcome.message, QString::fromUtf8(row.message));
        const QString name = row.microphone ? u"permissions.microphone"_qs : u"permissions.accessibility"_qs;
        EXPECT_EQ(outcome.codes, QStringList{name + (row.granted ? ".authorized" : ".denied")});
        EXPECT_EQ(fakes.diagnostics->stored.first().level, row.granted ? L::info : L::warning);
        // Reloaded: the record shows the answer.
        const OnboardingStatus& status = permissions.onboardingStatus();
        const PermissionState state = row.microphone ? status.microphonePermission : status.accessibilityPermission;
        EXPECT_EQ(state == PermissionState::authorized, row.granted);
    }

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
    using S = StartAtLoginStatus;
    using E = StartAtLoginError;
    const struct {
        const char* language;
        std::function<void(Scripted<S>&)> answer;
        S status;
        const char* message;
        L level;
    } rows[] = {
        {"english", [](auto& a) { a.push(S::requiresApproval); }, S::requiresApproval,
         "Approval in the desktop's settings is required for start at login.", L::info},
        {"turkish", [](auto& a) { a.push(S::unsupported); }, S::unsupported,
         "Start-at-login bu masaüstü ortamında desteklenmiyor.", L::warning},
        // A refusal shows the status read again, whatever the switch asked for.
        {"turkish", [](auto& a) { a.pushFailure(E(E::Case::unsupported)); }, S::disabled,
         "Start-at-login bu ortamda desteklenmiyor.", L::error},
        {"english", [](auto& a) { a.pushFailure(std::runtime_error("io")); }, S::disabled,
         "Start at login setting could not be updated.", L::error},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        fakes.startAtLogin->status = S::disabled;
        row.answer(fakes.startAtLogin->setEnabledAnswer);
        PreferencesViewModel& prefs = *make(row.language).preferences();
        const ActionOutcome outcome = run([&] { prefs.setStartAtLoginEnabled(true); });
        EXPECT_EQ(prefs.startAtLoginStatus(), row.status);
        EXPECT_EQ(outcome.message, QString::fromUtf8(row.message));
        EXPECT_EQ(outcome.codes, QStringList{row.level == L::error ? "settings.start_at_login.update_failed"
                                                                   : "settings.start_at_login.updated"});
        EXPECT_EQ(fakes.diagnostics->stored.first().level, row.level);
        EXPECT_EQ(fakes.diagnostics->stored.first().message, outcome.message);
    }

    PreferencesViewModel& prefs = *make("english").preferences();
    fakes.startAtLogin->status = S::enabled;
    const ActionOutcome opened = run([&] { prefs.openLoginItemsSettings(); });
    EXPECT_EQ(fakes.startAtLogin->calls.mid(fakes.startAtLogin->calls.size() - 2),
              QStringList({"openSystemSettings", "currentStatus"}));
    EXPECT_EQ(prefs.startAtLoginStatus(), S::enabled);
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

    // Unplugged: the choice stays, the default stands in; back under a new name, it is rewritten.
    fakes.audioDevices->devices = {builtIn};
    vm.refreshInputDevices(false);
    EXPECT_EQ(vm.inlineMessageText(), QStringLiteral("Microphone setting updated: USB Mic."));
    EXPECT_EQ(vm.microphoneSelectionMessage(),
              QStringLiteral("Selected microphone is not connected. System Default is being used temporarily."));
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
    const QStringList failed{"settings.hotkey.updated", "hotkey.monitor.start_failed"};
    const QStringList none, stop{"stopMonitoring"}, invalid{"settings.hotkey.validation_failed"};
    const HotkeyShortcut current{49, 0x1800, u"Ctrl Alt Space"_qs},
        superSpace{49, 0x1100, u"Control + Super + Space"_qs};
    const struct {
        bool ready;  // signed in: dictation can run, and the monitor was registered at construction
        const char* language;
        HotkeyShortcut hotkey;
        const char* message;
        QStringList codes, monitorCalls;
        bool active, refuseRegistration;
    } rows[] = {
        {true, "english", current, "This hotkey is already active: Ctrl Alt Space.", none, none, true, false},
        {true, "english", superSpace,
         "Super + Space masaustu aramasiyla cakisir. Suggestions: Control + Alt + Space, Control + Alt + Return, "
         "Control + Alt + R.",
         invalid, none, true, false},
        {true, "turkish", controlAltR, "Hotkey güncellendi: Control + Alt + R.", updated, restart, true, false},
        {false, "english", controlAltR, "Hotkey updated: Control + Alt + R.", updated, stop, false, false},
        {true, "turkish", controlAltR, "Hotkey dinleyici başlatılamadı.", failed, restart, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        fakes.userDefaults->removeValue(QString::fromLatin1(SettingsKeys::selectedHotkey));
        fakes.makeReadyForCloudDictation();
        fakes.account->storedSession = row.ready;
        AppViewModel& vm = make(row.language);
        fakes.hotkeyMonitor->calls.clear();
        if (row.refuseRegistration) fakes.hotkeyMonitor->startOutcome.pushFailure(HotkeyMonitorError({}, 10));
        const ActionOutcome outcome = run([&] { vm.preferences()->setHotkey(row.hotkey); });
        EXPECT_EQ(outcome.message, QString::fromUtf8(row.message));
        EXPECT_EQ(outcome.codes, row.codes);
        EXPECT_EQ(fakes.hotkeyMonitor->calls, row.monitorCalls);
        const bool stored = row.codes.contains(QStringLiteral("settings.hotkey.updated"));
        EXPECT_EQ(fakes.userDefaults->contains(QString::fromLatin1(SettingsKeys::selectedHotkey)), stored);
        EXPECT_EQ(vm.session()->isHotkeyMonitoringActive(), row.active);
    }

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
