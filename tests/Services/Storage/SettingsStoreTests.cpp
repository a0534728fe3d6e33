#include "Services/Storage/InMemoryUserDefaults.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "Services/Storage/SettingsStore.h"
#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimeZone>

namespace quorvelle {
namespace {

QString key(const char* name) {
    return QString::fromLatin1(name);
}

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("user-defaults.json")); }
    std::shared_ptr<UserDefaults> openDefaults() const { return std::make_shared<JsonFileUserDefaults>(path()); }
};

TEST_F(SettingsStoreTest, EverySettingComesBackAfterARestart) {
    const HotkeyShortcut hotkey{15, HotkeyShortcut::controlMask | HotkeyShortcut::shiftMask,
                                QStringLiteral("A title of my own")};
    const AudioInputDevicePreference microphone{QStringLiteral("alsa_input.usb-mic"), QStringLiteral("USB Mic")};
    const QList<VoiceSnippet> snippets = {
        {QUuid::createUuid(), QStringLiteral("my address"), QStringLiteral("1 Main St,\n\"Town\""), true},
        {QUuid::createUuid(), QStringLiteral("sign off"), QStringLiteral("Regards"), false},
    };
    const QList<DictionaryReplacementEntry> dictionary = {
        {QUuid::createUuid(), QStringLiteral("quorvel"), QStringLiteral("Quorvelle"), QStringLiteral("brand"),
         QDateTime(QDate(2026, 11, 30), QTime(9, 15, 30, 250), QTimeZone::utc())},
        {QUuid::createUuid(), QStringLiteral("kubernetes"), QStringLiteral("Kubernetes"), QString(),
         QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5), QTimeZone::utc())},
    };
    {
        SettingsStore store(openDefaults());
        store.setSelectedHotkey(hotkey);
        store.setSelectedRecordingTriggerMode(RecordingTriggerMode::toggle);
        store.setSelectedMicrophonePreference(microphone);
        store.setSelectedLocalModelID(LocalTranscriptionModelID::largeV3);
        store.setSelectedPostProcessingMode(TranscriptionPostProcessingMode::default_);
        store.setSnippets(snippets);
        store.setDictionaryEntries(dictionary);
        store.userDefaults()->setBool(key(SettingsKeys::clipboardFallbackEnabled), false);
    }
    const auto defaults = openDefaults();
    SettingsStore store(defaults);
    EXPECT_EQ(store.selectedHotkey(), hotkey);
    EXPECT_EQ(store.selectedRecordingTriggerMode(), RecordingTriggerMode::toggle);
    EXPECT_EQ(store.selectedMicrophonePreference(), microphone);
    EXPECT_EQ(store.selectedLocalModelID(), LocalTranscriptionModelID::largeV3);
    EXPECT_EQ(store.snippets(), snippets);
    EXPECT_EQ(store.dictionaryEntries(), dictionary);
    EXPECT_FALSE(store.clipboardFallbackEnabled());
    EXPECT_TRUE(store.dictionaryReplacementEnabled());

    // The stored forms other readers rely on.
    EXPECT_EQ(defaults->data(key(SettingsKeys::selectedRecordingTriggerMode)), QByteArray("\"toggle\""));
    EXPECT_EQ(defaults->value(key(SettingsKeys::selectedLocalModelID)), DefaultsValue(QStringLiteral("largeV3")));
    EXPECT_EQ(defaults->value(key(SettingsKeys::selectedPostProcessingMode)), DefaultsValue(QStringLiteral("default")));
}

// Each getter is given nothing, or a stored value it cannot use; it must give its default and
// leave the value where it was, so that a later version or the user can still recover it.
TEST_F(SettingsStoreTest, MissingOrUnusableValuesReadAsDefaultsAndStayInPlace) {
    const QByteArray commandSpace = R"({"keyCode":49,"carbonModifiers":256,"displayTitle":"Command + Space"})";
    struct Case {
        const char* what;
        const char* key;
        std::optional<DefaultsValue> stored;
    };
    const std::vector<Case> cases = {
        {"nothing stored", SettingsKeys::selectedHotkey, std::nullopt},
        {"hotkey refused by the validation", SettingsKeys::selectedHotkey, DefaultsValue(commandSpace)},
        {"hotkey stored as text", SettingsKeys::selectedHotkey, DefaultsValue(QString::fromLatin1(commandSpace))},
        {"hotkey not JSON", SettingsKeys::selectedHotkey, DefaultsValue(QByteArray(R"({"keyCode":15,)"))},
        {"hotkey JSON but not an object", SettingsKeys::selectedHotkey, DefaultsValue(QByteArray("[15,4096]"))},
        {"microphone not JSON", SettingsKeys::selectedMicrophonePreference, DefaultsValue(QByteArray("uid"))},
        {"microphone JSON but not an object", SettingsKeys::selectedMicrophonePreference,
         DefaultsValue(QByteArray(R"(["u","n"])"))},
        {"hotkey without title", SettingsKeys::selectedHotkey,
         DefaultsValue(QByteArray(R"({"keyCode":15,"carbonModifiers":4096})"))},
        {"trigger mode unquoted", SettingsKeys::selectedRecordingTriggerMode, DefaultsValue(QByteArray("toggle"))},
        {"microphone with a number", SettingsKeys::selectedMicrophonePreference,
         DefaultsValue(QByteArray(R"({"uid":3,"name":"x"})"))},
        {"dictionary entry without category", SettingsKeys::dictionaryEntries,
         DefaultsValue(
             QByteArray(R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","original":"a","replacement":"b"}])"))},
        {"vocabulary without term", SettingsKeys::vocabularyHintEntries,
         DefaultsValue(QByteArray(R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F"}])"))},
        {"model as data", SettingsKeys::selectedLocalModelID, DefaultsValue(QByteArray("largeV3"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto defaults = openDefaults();
        if (c.stored) defaults->setValue(key(c.key), *c.stored);
        SettingsStore store(defaults);

        EXPECT_EQ(store.selectedHotkey().displayTitle, QStringLiteral("Control + Alt + Space"));
        EXPECT_EQ(store.selectedRecordingTriggerMode(), RecordingTriggerMode::pushToTalk);
        EXPECT_EQ(store.selectedMicrophonePreference(), std::nullopt);
        EXPECT_EQ(store.selectedLocalModelID(), LocalTranscriptionModelID::smallMultilingual);
        EXPECT_TRUE(store.dictionaryEntries().isEmpty());
        EXPECT_TRUE(store.snippets().isEmpty());
        EXPECT_TRUE(store.vocabularyHintEntries().isEmpty());
        EXPECT_TRUE(store.clipboardFallbackEnabled());

        EXPECT_EQ(JsonFileUserDefaults(path()).value(key(c.key)), c.stored);
        defaults->removeValue(key(c.key));
    }
}

TEST(SettingsStoreModelTest, RetiredAndUnknownModelsMapToSelectableOnes) {
    const std::vector<std::pair<QString, LocalTranscriptionModelID>> cases = {
        {QStringLiteral("tinyEnglish"), LocalTranscriptionModelID::tinyMultilingual},
        {QStringLiteral("largeV3"), LocalTranscriptionModelID::largeV3},
        {QStringLiteral("LargeV3"), LocalTranscriptionModelID::smallMultilingual},
        {QString(), LocalTranscriptionModelID::smallMultilingual},
    };
    for (const auto& [stored, expected] : cases) {
        SCOPED_TRACE(stored.toStdString());
        auto defaults = std::make_shared<InMemoryUserDefaults>();
        defaults->setString(key(SettingsKeys::selectedLocalModelID), stored);
        EXPECT_EQ(SettingsStore(defaults).selectedLocalModelID(), expected);
        EXPECT_EQ(defaults->string(key(SettingsKeys::selectedLocalModelID)), stored);
    }
}

TEST(SettingsStoreSwitchTest, SwitchesReadTheStoredValueOrTrue) {
    const std::vector<std::pair<std::optional<DefaultsValue>, bool>> cases = {
        {std::nullopt, true},
        {DefaultsValue(false), false},
        {DefaultsValue(QByteArray("true")), false},

    };
    for (const auto& [stored, expected] : cases) {
        auto defaults = std::make_shared<InMemoryUserDefaults>();
        if (stored) {
            defaults->setValue(key(SettingsKeys::dictionaryReplacementEnabled), *stored);
            defaults->setValue(key(SettingsKeys::clipboardFallbackEnabled), *stored);
        }
        SettingsStore store(defaults);
        EXPECT_EQ(store.dictionaryReplacementEnabled(), expected);
        EXPECT_EQ(store.clipboardFallbackEnabled(), expected);
    }
}

TEST(SettingsStoreMicrophoneTest, NoPreferenceRemovesTheKey) {
    auto defaults = std::make_shared<InMemoryUserDefaults>();
    SettingsStore store(defaults);
    store.setSelectedMicrophonePreference(AudioInputDevicePreference{QStringLiteral("u"), QStringLiteral("n")});
    ASSERT_TRUE(defaults->contains(key(SettingsKeys::selectedMicrophonePreference)));
    store.setSelectedMicrophonePreference(std::nullopt);
    EXPECT_FALSE(defaults->contains(key(SettingsKeys::selectedMicrophonePreference)));
    EXPECT_EQ(store.selectedMicrophonePreference(), std::nullopt);
}

}  // namespace
}  // namespace quorvelle
