#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

namespace K = SettingsKeys;
using P = PreferencesViewModel;

// The setter taking a Value, not its overload for the views.
template <typename Value>
std::function<void(AppViewModel&)> prefs(void (P::*method)(Value), Value value) {
    return [=](AppViewModel& vm) { (vm.preferences()->*method)(value); };
}

class SettingsActions : public ViewModelTest {
protected:
    // One setter on a new view model. code: none when nothing changes, "" for a change without an event.
    void check(const char* language, const char* key, const std::function<void(AppViewModel&)>& set,
               const QString& message, std::optional<QString> code = std::nullopt) {
        AppViewModel& vm = make(language);
        const auto before = fakes.userDefaults->value(QString::fromLatin1(key));
        const ActionOutcome outcome = run([&] { set(vm); });
        EXPECT_EQ(said(outcome), message + " | " + code.value_or(QString()));
        EXPECT_EQ(outcome.refreshed, code.has_value());
        EXPECT_EQ(fakes.userDefaults->value(QString::fromLatin1(key)) != before, code.has_value());
        fakes.userDefaults->removeValue(QString::fromLatin1(key));
    }
};

TEST_F(SettingsActions, EachSetterStoresLogsAndRefreshesOnlyANewValue) {
    check("turkish", K::selectedWidgetAppearance, prefs(&P::setWidgetAppearance, WidgetAppearance::logoOnly),
          "Widget görünümü güncellendi: Sadece logo.", "settings.widget_appearance.updated");
    storeString(K::selectedWidgetAppearance, "logoOnly");
    check("english", K::selectedWidgetAppearance, prefs(&P::setWidgetAppearance, WidgetAppearance::currentWidget),
          "Widget appearance updated: Current widget.", "settings.widget_appearance.updated");
    check("english", K::selectedPostProcessingMode,
          prefs(&P::setPostProcessingMode, TranscriptionPostProcessingMode::off), "Cleanup mode is already selected.");
    check("english", K::lastDictationAutoReplaceEnabled, prefs(&P::setLastDictationAutoReplaceEnabled, false),
          "Last dictation auto-replace is already off.");
    check("english", K::selectedDesktopTheme, prefs(&P::setDesktopTheme, DesktopThemeOption::black),
          "Theme is already active.");
    check("turkish", K::selectedRecordingTriggerMode,
          prefs(&P::setRecordingTriggerMode, RecordingTriggerMode::pushToTalk), "Kayıt modu zaten aktif: Basılı tut.");
    const auto english = TranscriptionLanguageOption::option(QStringLiteral("en"));
    check(
        "turkish", K::selectedTranscriptionLanguage,
        [&](AppViewModel& vm) { vm.preferences()->setTranscriptionLanguage(english.id()); },
        "Transcription dili güncellendi: " + AppStrings("tr").transcriptionLanguageTitle(english) + ".", "");
    check("english", K::clipboardFallbackEnabled, prefs(&P::setClipboardFallbackEnabled, false),
          "Clipboard fallback turned off.", "settings.insertion.clipboard_fallback_updated");
    check(
        "turkish", K::dictionaryReplacementEnabled,
        [](AppViewModel& vm) { vm.dictionary()->setDictionaryReplacementEnabled(false); },
        "Dictionary replacement kapatıldı.", "settings.dictionary.toggle_updated");
    check("english", K::selectedAppLanguage, prefs(&P::setAppLanguage, AppLanguageOption::english),
          "App language updated.");
    check("english", K::selectedAppLanguage, prefs(&P::setAppLanguage, AppLanguageOption::turkish),
          "Uygulama dili güncellendi.", "settings.app_language.updated");
    EXPECT_EQ(viewModel->languageCode(), QStringLiteral("tr"));
}

TEST_F(SettingsActions, InstructionsAreCutOnCharactersThenTrimmedAndOnlyNewTextIsStored) {
    // One character of two code units; the cut comes before the trim, so the spaces count.
    const QString accented = QStringLiteral("e\u0301");
    struct Row {
        QString saved, draft;
        bool reset;
        QString message, result;
        bool logged;
    };
    const Row rows[] = {
        {"", "  " + accented.repeated(2500), false, "Instructions saved.", accented.repeated(1998), true},
        {"old", " \n ", false, "Instructions cleared.", "", true},
        {"same", "  same\n", false, "Instructions are already current.", "same", false},
        {"", "draft", true, "Instructions reset.", "", true},
    };
    for (const Row& row : rows) {
        storeString(K::customInstructions, row.saved);
        PreferencesViewModel& prefs = *make("english").preferences();
        prefs.setCustomInstructionsDraft(row.draft);
        const ActionOutcome outcome =
            run([&] { row.reset ? prefs.resetCustomInstructions() : prefs.saveCustomInstructions(); });
        SCOPED_TRACE(row.message.toStdString());
        EXPECT_EQ(outcome.message, row.message);
        EXPECT_EQ(outcome.codes.size(), row.logged ? 1 : 0);
        EXPECT_EQ(fakes.userDefaults->string(QString::fromLatin1(K::customInstructions)), row.result);
        EXPECT_EQ(prefs.savedCustomInstructions(), row.result);
        EXPECT_FALSE(prefs.hasUnsavedCustomInstructions());
    }
}

}  // namespace
}  // namespace quorvelle::test
