#include "ActionTestFixture.h"
#include "Support/Graphemes.h"

namespace quorvelle::test {
namespace {

using SettingsActions = ActionTest;
using P = PreferencesViewModel;

TEST_F(SettingsActions, EachSetterStoresLogsAndRefreshesOnlyANewValue) {
    struct Row {
        const char* language;
        std::function<void(AppViewModel&)> action;
        QString message;
        const char* key;
        const char* stored;  // the stored string; nullptr for booleans and JSON
        QStringList codes;
        bool changed;
    };
    const auto prefs = [](auto method, auto value) {
        return [=](AppViewModel& vm) { (vm.preferences()->*method)(value); };
    };
    const auto english = TranscriptionLanguageOption::option(QStringLiteral("en"));
    const Row rows[] = {
        {"english",
         prefs(&P::setWidgetAppearance, WidgetAppearance::currentWidget),
         "Widget appearance is already active.",
         SettingsKeys::selectedWidgetAppearance,
         nullptr,
         {},
         false},
        {"turkish",
         prefs(&P::setWidgetAppearance, WidgetAppearance::logoOnly),
         "Widget görünümü güncellendi: Sadece logo.",
         SettingsKeys::selectedWidgetAppearance,
         "logoOnly",
         {"settings.widget_appearance.updated"},
         true},
        {"turkish",
         prefs(&P::setDesktopTheme, DesktopThemeOption::black),
         "Tema zaten aktif.",
         SettingsKeys::selectedDesktopTheme,
         nullptr,
         {},
         false},
        {"english",
         prefs(&P::setDesktopTheme, DesktopThemeOption::light),
         "Theme updated: " + AppStrings().desktopThemeTitle(DesktopThemeOption::light) + ".",
         SettingsKeys::selectedDesktopTheme,
         "light",
         {"settings.desktop_theme.updated"},
         true},
        {"english",
         prefs(&P::setPostProcessingMode, TranscriptionPostProcessingMode::email),
         "Cleanup mode updated: Email.",
         SettingsKeys::selectedPostProcessingMode,
         "email",
         {"settings.post_processing_mode.updated"},
         true},
        {"turkish",
         prefs(&P::setRecordingTriggerMode, RecordingTriggerMode::pushToTalk),
         "Kayıt modu zaten aktif: Basılı tut.",
         SettingsKeys::selectedRecordingTriggerMode,
         nullptr,
         {},
         false},
        {"english",
         prefs(&P::setRecordingTriggerMode, RecordingTriggerMode::toggle),
         "Recording mode updated: Toggle.",
         SettingsKeys::selectedRecordingTriggerMode,
         nullptr,
         {"settings.recording_trigger_mode.updated"},
         true},
        {"english",
         prefs(&P::setTranscriptionLanguage, TranscriptionLanguageOption::automatic()),
         "Transcription language is already selected.",
         SettingsKeys::selectedTranscriptionLanguage,
         nullptr,
         {},
         false},
        {"turkish",
         prefs(&P::setTranscriptionLanguage, english),
         "Transcription dili güncellendi: " + AppStrings("tr").transcriptionLanguageTitle(english) + ".",
         SettingsKeys::selectedTranscriptionLanguage,
         "en",
         {},
         true},
        {"english",
         prefs(&P::setLastDictationAutoReplaceEnabled, true),
         "Last dictation auto-replace turned on.",
         SettingsKeys::lastDictationAutoReplaceEnabled,
         nullptr,
         {},
         true},
        {"turkish",
         prefs(&P::setClipboardFallbackEnabled, true),
         "Clipboard fallback zaten açık.",
         SettingsKeys::clipboardFallbackEnabled,
         nullptr,
         {},
         false},
        {"english",
         prefs(&P::setClipboardFallbackEnabled, false),
         "Clipboard fallback turned off.",
         SettingsKeys::clipboardFallbackEnabled,
         nullptr,
         {"settings.insertion.clipboard_fallback_updated"},
         true},
        {"turkish",
         [](AppViewModel& vm) { vm.dictionary()->setDictionaryReplacementEnabled(false); },
         "Dictionary replacement kapatıldı.",
         SettingsKeys::dictionaryReplacementEnabled,
         nullptr,
         {"settings.dictionary.toggle_updated"},
         true},
        {"english",
         prefs(&P::setAppLanguage, AppLanguageOption::english),
         "App language updated.",
         SettingsKeys::selectedAppLanguage,
         "english",
         {},
         false},
        {"english",
         prefs(&P::setAppLanguage, AppLanguageOption::turkish),
         "Uygulama dili güncellendi.",
         SettingsKeys::selectedAppLanguage,
         "turkish",
         {"settings.app_language.updated"},
         true},
    };
    for (const Row& row : rows) {
        AppViewModel& vm = make(row.language);
        const QString key = QString::fromLatin1(row.key);
        const auto before = fakes.userDefaults->value(key);
        const ActionOutcome outcome = run([&] { row.action(vm); });
        SCOPED_TRACE(row.message.toStdString());
        EXPECT_EQ(outcome.message, row.message);
        EXPECT_EQ(outcome.codes, row.codes);
        EXPECT_EQ(outcome.refreshed, row.changed);
        EXPECT_EQ(fakes.userDefaults->value(key) != before, row.changed);
        if (row.stored) {
            EXPECT_EQ(fakes.userDefaults->string(key), QString::fromLatin1(row.stored));
        }
        fakes.userDefaults->removeValue(key);
    }
    EXPECT_EQ(viewModel->languageCode(), QStringLiteral("tr"));
}

TEST_F(SettingsActions, InstructionsAreCutOnCharactersThenTrimmedAndOnlyNewTextIsStored) {
    const QString accented = QStringLiteral("e\u0301");  // one character, two code units
    struct Row {
        QString saved, draft;
        bool reset;
        QString message, result;
        QStringList codes;
    };
    const Row rows[] = {
        {"",
         accented.repeated(2500),
         false,
         "Instructions saved.",
         accented.repeated(2000),
         {"settings.instructions.saved"}},
        {"old", " \n ", false, "Instructions cleared.", "", {"settings.instructions.saved"}},
        {"", " \n ", false, "Instructions are already empty.", "", {}},
        {"same", "  same\n", false, "Instructions are already current.", "same", {}},
        {"", "draft", true, "Instructions reset.", "", {"settings.instructions.reset"}},
        {"", "", true, "Instructions are already empty.", "", {}},
    };
    for (const Row& row : rows) {
        fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::customInstructions), row.saved);
        AppViewModel& vm = make("english");
        PreferencesViewModel& prefs = *vm.preferences();
        prefs.setCustomInstructionsDraft(row.draft);
        const ActionOutcome outcome =
            run([&] { row.reset ? prefs.resetCustomInstructions() : prefs.saveCustomInstructions(); });
        SCOPED_TRACE(row.message.toStdString());
        EXPECT_EQ(outcome.message, row.message);
        EXPECT_EQ(outcome.codes, row.codes);
        EXPECT_EQ(prefs.savedCustomInstructions(), row.result);
        EXPECT_EQ(fakes.userDefaults->string(QString::fromLatin1(SettingsKeys::customInstructions)), row.result);
        if (!row.codes.isEmpty()) {
            EXPECT_EQ(prefs.customInstructionsDraft(), row.result);
        }
        EXPECT_FALSE(prefs.hasUnsavedCustomInstructions());
    }
}

}  // namespace
}  // namespace quorvelle::test
