#include "ActionTestFixture.h"
#include "Services/System/HotkeyMonitorError.h"
#include "ViewModel/MicrophoneSelectionDecision.h"

namespace quorvelle::test {
namespace {

using SystemActions = ActionTest;

TEST_F(SystemActions, PermissionRequestsReportLogAndReload) {
    struct Row {
        const char* language;
        bool microphone, granted;
        QString message, diagnosticsMessage;
        QStringList codes;
    };
    const Row rows[] = {
        {"turkish",
         true,
         false,
         "Mikrofon izni olmadan dikte başlatılamaz.",
         "Microphone izni eksik.",
         {"permissions.microphone.denied"}},
        {"english",
         true,
         true,
         "Microphone permission granted.",
         "Microphone izni verildi.",
         {"permissions.microphone.authorized"}},
        {"english",
         false,
         false,
         "Reopen the window after granting Accessibility permission. Restart the app if needed.",
         "Accessibility izni eksik.",
         {"permissions.accessibility.denied"}},
        {"turkish",
         false,
         true,
         "Accessibility izni verildi.",
         "Accessibility izni verildi.",
         {"permissions.accessibility.authorized"}},
    };
    for (const Row& row : rows) {
        fakes.microphonePermission->status = PermissionState::notDetermined;
        fakes.microphonePermission->requestAnswer.setFallback(row.granted);
        fakes.accessibilityPermission->trusted = false;
        fakes.accessibilityPermission->promptAnswer.setFallback(row.granted);
        PermissionsViewModel& permissions = *make(row.language).permissions();
        const ActionOutcome outcome = run([&] {
            row.microphone ? permissions.requestMicrophonePermission() : permissions.requestAccessibilityPermission();
        });
        SCOPED_TRACE(row.message.toStdString());
        EXPECT_EQ(outcome.message, row.message);
        EXPECT_EQ(outcome.codes, row.codes);
        EXPECT_EQ(fakes.diagnostics->stored.first().message, row.diagnosticsMessage);
        EXPECT_EQ(fakes.diagnostics->stored.first().level,
                  row.granted ? DiagnosticsEventLevel::info : DiagnosticsEventLevel::warning);
        const OnboardingStatus& status = permissions.onboardingStatus();
        const PermissionState reloaded = row.microphone ? status.microphonePermission : status.accessibilityPermission;
        EXPECT_EQ(reloaded == PermissionState::authorized, row.granted);
    }
}

TEST_F(SystemActions, DisclosureAcceptanceIsStoredAndReloadedWithoutAnEvent) {
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
    struct Row {
        const char* language;
        std::function<void(Scripted<StartAtLoginStatus>&)> answer;
        StartAtLoginStatus status;
        QString message;
        DiagnosticsEventLevel level;
        const char* code;
    };
    const auto returns = [](StartAtLoginStatus status) { return [=](auto& answer) { answer.push(status); }; };
    const auto throws = [](auto error) { return [=](auto& answer) { answer.pushFailure(error); }; };
    const Row rows[] = {
        {"english", returns(StartAtLoginStatus::enabled), StartAtLoginStatus::enabled, "Start at login turned on.",
         DiagnosticsEventLevel::info, "settings.start_at_login.updated"},
        {"english", returns(StartAtLoginStatus::requiresApproval), StartAtLoginStatus::requiresApproval,
         "Approval in the desktop's settings is required for start at login.", DiagnosticsEventLevel::info,
         "settings.start_at_login.updated"},
        {"turkish", returns(StartAtLoginStatus::unsupported), StartAtLoginStatus::unsupported,
         "Start-at-login bu masaüstü ortamında desteklenmiyor.", DiagnosticsEventLevel::warning,
         "settings.start_at_login.updated"},
        {"english", throws(E(E::Case::updateFailed)), StartAtLoginStatus::disabled,
         "Start at login setting could not be updated.", DiagnosticsEventLevel::error,
         "settings.start_at_login.update_failed"},
        {"turkish", throws(E(E::Case::unsupported)), StartAtLoginStatus::disabled,
         "Start-at-login bu ortamda desteklenmiyor.", DiagnosticsEventLevel::error,
         "settings.start_at_login.update_failed"},
        {"english", throws(std::runtime_error("io")), StartAtLoginStatus::disabled,
         "Start at login setting could not be updated.", DiagnosticsEventLevel::error,
         "settings.start_at_login.update_failed"},
    };
    for (const Row& row : rows) {
        fakes.startAtLogin->status = StartAtLoginStatus::disabled;
        row.answer(fakes.startAtLogin->setEnabledAnswer);
        PreferencesViewModel& prefs = *make(row.language).preferences();
        const ActionOutcome outcome = run([&] { prefs.setStartAtLoginEnabled(true); });
        SCOPED_TRACE(row.message.toStdString());
        EXPECT_EQ(prefs.startAtLoginStatus(), row.status);
        EXPECT_EQ(outcome.message, row.message);
        EXPECT_EQ(outcome.codes, QStringList{row.code});
        EXPECT_EQ(fakes.diagnostics->stored.first().level, row.level);
        EXPECT_EQ(fakes.diagnostics->stored.first().message, row.message);
    }

    PreferencesViewModel& prefs = *make("english").preferences();
    fakes.startAtLogin->status = StartAtLoginStatus::enabled;
    const ActionOutcome opened = run([&] { prefs.openLoginItemsSettings(); });
    EXPECT_EQ(fakes.startAtLogin->calls.last(), QStringLiteral("currentStatus"));
    EXPECT_TRUE(fakes.startAtLogin->calls.contains(QStringLiteral("openSystemSettings")));
    EXPECT_EQ(prefs.startAtLoginStatus(), StartAtLoginStatus::enabled);
    EXPECT_EQ(opened.message, QStringLiteral("Approve Quorvelle in the desktop's settings under Autostart."));
    EXPECT_EQ(opened.codes, QStringList{"settings.start_at_login.system_settings_opened"});
}

TEST_F(SystemActions, MicrophoneChoiceIsStoredAndAMissingDeviceKeepsIt) {
    const AudioDeviceInfo builtIn{1, QStringLiteral("builtin"), QStringLiteral("Built-in"), true};
    const AudioDeviceInfo usb{2, QStringLiteral("usb"), QStringLiteral("USB Mic"), false};
    fakes.audioDevices->devices = {builtIn, usb};
    AppViewModel& vm = make("english");
    PreferencesViewModel& prefs = *vm.preferences();
    struct Row {
        std::optional<QString> uid;
        QString message;
        std::optional<AudioInputDevicePreference> stored;
        QStringList codes;
    };
    const AudioInputDevicePreference usbChoice{usb.uid, usb.name};
    const Row rows[] = {
        {std::nullopt, "Microphone setting is already active: System Default.", std::nullopt, {}},
        {usb.uid, "Microphone setting updated: USB Mic.", usbChoice, {"settings.microphone.updated"}},
        {usb.uid, "Microphone setting is already active: USB Mic.", usbChoice, {}},
        {QStringLiteral("gone"),
         "Selected microphone was not found. System Default is being used.",
         std::nullopt,
         {"settings.microphone.updated"}},
        {usb.uid, "Microphone setting updated: USB Mic.", usbChoice, {"settings.microphone.updated"}},
    };
    for (const Row& row : rows) {
        const ActionOutcome outcome = run([&] { prefs.setMicrophonePreference(row.uid); });
        EXPECT_EQ(outcome.message, row.message);
        EXPECT_EQ(outcome.codes, row.codes);
        EXPECT_EQ(fakes.settingsStore->selectedMicrophonePreference(), row.stored);
    }
    EXPECT_EQ(fakes.audioCapture->preferredDeviceUIDs.last(), usb.uid);
    EXPECT_EQ(vm.microphoneSelectionMessage(), QStringLiteral("Active microphone: USB Mic."));

    // Unplugged, then renamed and picked again.
    fakes.audioDevices->devices = {builtIn};
    vm.refreshInputDevices(false);
    EXPECT_EQ(vm.inlineMessageText(), QStringLiteral("Microphone setting updated: USB Mic."));
    EXPECT_EQ(vm.microphoneSelectionMessage(),
              QStringLiteral("Selected microphone is not connected. System Default is being used temporarily."));
    EXPECT_EQ(vm.selectedMicrophoneLabel(), QStringLiteral("USB Mic (bagli degil)"));
    EXPECT_EQ(fakes.audioCapture->preferredDeviceUIDs.last(), usb.uid);
    EXPECT_EQ(fakes.settingsStore->selectedMicrophonePreference(), usbChoice);
    fakes.audioDevices->devices = {builtIn, {2, usb.uid, QStringLiteral("USB Mic 2"), false}};
    EXPECT_EQ(run([&] { prefs.setMicrophonePreference(usb.uid); }).message,
              QStringLiteral("Microphone setting updated: USB Mic 2."));

    fakes.audioDevices->devices = {};
    vm.refreshInputDevices(true);
    EXPECT_EQ(vm.inlineMessageText(), QStringLiteral("Microphone list refreshed. No input device found."));
    EXPECT_EQ(vm.microphoneSelectionMessage(),
              QStringLiteral("Quorvelle uses the System Default microphone by default."));
}

TEST_F(SystemActions, HotkeyChangeRestartsTheMonitorOnlyWhenDictationCanRun) {
    const HotkeyShortcut alsoDefault{49, 0x1800, QStringLiteral("Ctrl Alt Space")};
    const HotkeyShortcut superSpace{49, 0x100 | 0x1000, QStringLiteral("Control + Super + Space")};
    const HotkeyShortcut controlAltR = HotkeyShortcut::suggestions().at(2);
    struct Row {
        bool ready, startFails;
        const char* language;
        HotkeyShortcut hotkey;
        QString message;
        QStringList codes, monitorCalls;
        bool stored, active;
    };
    const Row rows[] = {
        {true, false, "english", alsoDefault, "This hotkey is already active: Ctrl Alt Space.", {}, {}, false, false},
        {true,
         false,
         "english",
         superSpace,
         "Super + Space masaustu aramasiyla cakisir. Suggestions: Control + Alt + Space, Control + Alt + Return, "
         "Control + Alt + R.",
         {"settings.hotkey.validation_failed"},
         {},
         false,
         false},
        {true,
         false,
         "turkish",
         controlAltR,
         "Hotkey güncellendi: Control + Alt + R.",
         {"settings.hotkey.updated"},
         {"stopMonitoring", "startMonitoring(Control + Alt + R)"},
         true,
         true},
        {false,
         false,
         "english",
         controlAltR,
         "Hotkey updated: Control + Alt + R.",
         {"settings.hotkey.updated"},
         {"stopMonitoring"},
         true,
         false},
        {true,
         true,
         "turkish",
         controlAltR,
         "Hotkey dinleyici başlatılamadı.",
         {"settings.hotkey.updated", "hotkey.monitor.start_failed"},
         {"stopMonitoring", "startMonitoring(Control + Alt + R)"},
         true,
         false},
    };
    for (const Row& row : rows) {
        fakes.userDefaults->removeValue(QString::fromLatin1(SettingsKeys::selectedHotkey));
        fakes.makeReadyForCloudDictation();
        fakes.account->storedSession = row.ready;
        if (row.startFails) fakes.hotkeyMonitor->startOutcome.pushFailure(HotkeyMonitorError({}, 10));
        AppViewModel& vm = make(row.language);
        fakes.hotkeyMonitor->calls.clear();
        const ActionOutcome outcome = run([&] { vm.preferences()->setHotkey(row.hotkey); });
        SCOPED_TRACE(row.message.toStdString());
        EXPECT_EQ(outcome.message, row.message);
        EXPECT_EQ(outcome.codes, row.codes);
        EXPECT_EQ(fakes.hotkeyMonitor->calls, row.monitorCalls);
        EXPECT_EQ(fakes.userDefaults->contains(QString::fromLatin1(SettingsKeys::selectedHotkey)), row.stored);
        EXPECT_EQ(vm.session()->isHotkeyMonitoringActive(), row.active);
        if (row.hotkey == superSpace) {
            EXPECT_EQ(fakes.diagnostics->stored.first().message,
                      QStringLiteral("Super + Space masaustu aramasiyla cakisir."));
        }
    }

    // The new combination's presses reach the session on the main thread, from any thread.
    fakes.account->storedSession = true;
    fakes.userDefaults->removeValue(QString::fromLatin1(SettingsKeys::selectedHotkey));
    AppViewModel& vm = make("turkish");
    vm.preferences()->setHotkey(controlAltR);
    QSignalSpy presses(vm.session(), &SessionViewModel::hotkeyPressed);
    fakes.hotkeyMonitor->press();
    fakes.hotkeyMonitor->pressFromAnotherThread();
    EXPECT_EQ(presses.count(), 1);
    EXPECT_TRUE(presses.wait(1000));
    vm.preferences()->reportHotkeyCaptureUnsupported(QStringLiteral("Bu tuş kombinasyonu şimdilik desteklenmiyor."));
    EXPECT_EQ(vm.inlineMessageText(), QStringLiteral("Bu tuş kombinasyonu şimdilik desteklenmiyor. Öneriler: Control + "
                                                     "Alt + Space, Control + Alt + Return."));
    EXPECT_EQ(fakes.diagnostics->codes().first(), QStringLiteral("settings.hotkey.capture_unsupported"));
}

}  // namespace
}  // namespace quorvelle::test
