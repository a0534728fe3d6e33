// What a start or a settings reload hands on (the microphone, the instructions, the language) and
// what the readiness rules report once dictation can no longer run.
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using M = LocalTranscriptionModelID;

class ReloadAndReadiness : public ViewModelTest {
protected:
    // The hot key as the session and the diagnostics report it, and whether it is registered.
    QString hotkey() const {
        return QStringList{viewModel->session()->isHotkeyMonitoringActive() ? u"session active"_qs : u"session off"_qs,
                           viewModel->diagnostics()->diagnosticsSnapshot().hotkeyMonitoringActive
                               ? u"diagnostics active"_qs
                               : u"diagnostics off"_qs,
                           fakes.hotkeyMonitor->isMonitoring() ? u"registered"_qs : u"unregistered"_qs}
            .join(u", "_qs);
    }
};

TEST_F(ReloadAndReadiness, ChoosingAnotherLocalModelStoresItAndAppliesTheReadinessOfTheNewChoice) {
    fakes.makeReadyForCloudDictation();
    storeString(SettingsKeys::selectedTranscriptionBackend, u"local"_qs);
    fakes.localModels->install(M::baseMultilingual);
    // The stored choice (none: the small model) is not installed, so local dictation cannot run.
    make();
    ASSERT_EQ(hotkey(), "session off, diagnostics off, unregistered");

    const auto choose = [&](M model) {
        models().selectLocalModel(model);
        const int row = int(selectableLocalTranscriptionModelIDs().indexOf(model));
        return QStringList{message(), rawValue(SettingsStore(fakes.userDefaults).selectedLocalModelID()),
                           models().localModelStatuses().at(row).isSelected ? u"row selected"_qs : u"row not"_qs,
                           hotkey()}
            .join(u" | "_qs);
    };
    EXPECT_EQ(choose(M::baseMultilingual), "Local model selection updated: Base. | " + rawValue(M::baseMultilingual) +
                                               " | row selected | session active, diagnostics active, registered");
    EXPECT_EQ(choose(M::baseMultilingual), "Local model is already selected. | " + rawValue(M::baseMultilingual) +
                                               " | row selected | session active, diagnostics active, registered");
    EXPECT_EQ(choose(M::largeV3), "Local model selected. Download it before activating. | " + rawValue(M::largeV3) +
                                      " | row selected | session off, diagnostics off, unregistered");
}

TEST_F(ReloadAndReadiness, OnceDictationCannotRunTheHotkeyIsReportedOffEverywhereUntilItCanAgain) {
    fakes.makeReadyForCloudDictation();
    AppViewModel& vm = make();
    ASSERT_EQ(hotkey(), "session active, diagnostics active, registered");
    const struct {
        const char* what;
        std::function<void(bool ready)> set;
    } losses[] = {
        {"signed out", [&](bool ready) { fakes.account->storedSession = ready; }},
        {"privacy disclosure withdrawn",
         [&](bool ready) {
             fakes.userDefaults->setBool(QString::fromLatin1(SettingsKeys::acceptedPrivacyDisclosure), ready);
         }},
        {"local mode without its model",
         [&](bool ready) {
             storeString(SettingsKeys::selectedTranscriptionBackend, ready ? u"cloud"_qs : u"local"_qs);
         }},
    };
    for (const auto& loss : losses) {
        SCOPED_TRACE(loss.what);
        loss.set(false);
        vm.reloadSettings();
        EXPECT_EQ(hotkey(), "session off, diagnostics off, unregistered");
        loss.set(true);
        vm.reloadSettings();
        EXPECT_EQ(hotkey(), "session active, diagnostics active, registered");
    }
}

TEST_F(ReloadAndReadiness, StartHandsTheStoredMicrophoneToTheCaptureAndAReloadDropsTheDraftAndSignalsTheLanguageOnce) {
    fakes.settingsStore->setSelectedMicrophonePreference(AudioInputDevicePreference{u"usb-mic"_qs, u"USB Mic"_qs});
    storeString(SettingsKeys::customInstructions, u"Write in British English."_qs);
    AppViewModel& vm = make("english");
    ASSERT_FALSE(fakes.audioCapture->preferredDeviceUIDs.isEmpty());
    EXPECT_EQ(fakes.audioCapture->preferredDeviceUIDs.last(), u"usb-mic"_qs);

    // Changed behind the view model's back (another window, the settings file), then reloaded.
    fakes.settingsStore->setSelectedMicrophonePreference(std::nullopt);
    storeString(SettingsKeys::selectedAppLanguage, u"turkish"_qs);
    PreferencesViewModel& preferences = *vm.preferences();
    preferences.setCustomInstructionsDraft(u"Unsaved words"_qs);
    QSignalSpy language(&vm, &AppViewModel::stringsChanged);
    vm.reloadSettings();
    EXPECT_EQ(fakes.audioCapture->preferredDeviceUIDs.last(), std::nullopt);
    EXPECT_EQ(preferences.customInstructionsDraft(), u"Write in British English."_qs);
    EXPECT_FALSE(preferences.hasUnsavedCustomInstructions());
    EXPECT_EQ(language.count(), 1);
    EXPECT_EQ(vm.languageCode(), u"tr"_qs);
}

}  // namespace
}  // namespace quorvelle::test
