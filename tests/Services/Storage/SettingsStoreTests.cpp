#include "Services/Storage/InMemoryUserDefaults.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "Services/Storage/SettingsStore.h"
#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimeZone>

namespace quorvelle {
namespace {

using V = DefaultsValue;
namespace Keys = SettingsKeys;

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("user-defaults.json"); }
    std::shared_ptr<UserDefaults> openDefaults() const { return std::make_shared<JsonFileUserDefaults>(path()); }
};

TEST_F(SettingsStoreTest, EverySettingComesBackAfterARestart) {
    const HotkeyShortcut hotkey{15, HotkeyShortcut::controlMask | HotkeyShortcut::shiftMask, "A title of my own"};
    const AudioInputDevicePreference microphone{"alsa_input.usb-mic", "USB Mic"};
    const QList<VoiceSnippet> snippets = {{QUuid::createUuid(), "my address", "1 Main St,\n\"Town\"", true},
                                          {QUuid::createUuid(), "sign off", "Regards", false}};
    const QList<DictionaryReplacementEntry> dictionary = {
        {QUuid::createUuid(), "quorvel", "Quorvelle", "brand",
         QDateTime(QDate(2026, 11, 30), QTime(9, 15, 30, 250), QTimeZone::utc())},
        {QUuid::createUuid(), "kubernetes", "Kubernetes", QString(),
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
        store.userDefaults()->setBool(Keys::clipboardFallbackEnabled, false);
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
    EXPECT_EQ(defaults->data(Keys::selectedRecordingTriggerMode), QByteArray("\"toggle\""));
    EXPECT_EQ(defaults->value(Keys::selectedLocalModelID), V(QString("largeV3")));
    EXPECT_EQ(defaults->value(Keys::selectedPostProcessingMode), V(QString("default")));

    store.setSelectedMicrophonePreference(std::nullopt);
    EXPECT_FALSE(defaults->contains(Keys::selectedMicrophonePreference));
}

// A getter given nothing, or a stored value it cannot use, gives its default and leaves the value
// where it was, so that a later version or the user can still recover it.
TEST_F(SettingsStoreTest, MissingOrUnusableValuesReadAsDefaultsAndStayInPlace) {
    const QByteArray commandSpace = R"({"keyCode":49,"carbonModifiers":256,"displayTitle":"Command + Space"})";
    const QByteArray noCategory = R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","original":"a","replacement":"b"}])";
    const struct {
        const char* key;
        std::optional<V> stored;
    } cases[] = {
        {Keys::selectedHotkey, std::nullopt},
        {Keys::selectedHotkey, V(commandSpace)},  // refused by the validation
        {Keys::selectedHotkey, V(QString::fromLatin1(commandSpace))},
        {Keys::selectedHotkey, V(QByteArray(R"({"keyCode":15,)"))},
        {Keys::selectedHotkey, V(QByteArray("[15,4096]"))},
        {Keys::selectedHotkey, V(QByteArray(R"({"keyCode":15,"carbonModifiers":4096})"))},
        {Keys::selectedMicrophonePreference, V(QByteArray("uid"))},
        {Keys::selectedMicrophonePreference, V(QByteArray(R"(["u","n"])"))},
        {Keys::selectedMicrophonePreference, V(QByteArray(R"({"uid":3,"name":"x"})"))},
        {Keys::selectedRecordingTriggerMode, V(QByteArray("toggle"))},
        {Keys::dictionaryEntries, V(noCategory)},
        {Keys::vocabularyHintEntries, V(QByteArray(R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F"}])"))},
        {Keys::selectedLocalModelID, V(QByteArray("largeV3"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const auto defaults = openDefaults();
        if (c.stored) defaults->setValue(c.key, *c.stored);
        SettingsStore store(defaults);
        EXPECT_EQ(store.selectedHotkey().displayTitle, "Control + Alt + Space");
        EXPECT_EQ(store.selectedRecordingTriggerMode(), RecordingTriggerMode::pushToTalk);
        EXPECT_EQ(store.selectedMicrophonePreference(), std::nullopt);
        EXPECT_EQ(store.selectedLocalModelID(), LocalTranscriptionModelID::smallMultilingual);
        EXPECT_TRUE(store.dictionaryEntries().isEmpty() && store.snippets().isEmpty());
        EXPECT_TRUE(store.vocabularyHintEntries().isEmpty());
        EXPECT_TRUE(store.clipboardFallbackEnabled());
        EXPECT_EQ(JsonFileUserDefaults(path()).value(c.key), c.stored);
        defaults->removeValue(c.key);
    }
}

TEST(SettingsStoreReadingTest, RetiredModelsMapToSelectableOnesAndSwitchesReadTheStoredValueOrTrue) {
    const std::pair<QString, LocalTranscriptionModelID> models[] = {
        {"tinyEnglish", LocalTranscriptionModelID::tinyMultilingual},
        {"largeV3", LocalTranscriptionModelID::largeV3},
        {"LargeV3", LocalTranscriptionModelID::smallMultilingual},
        {"", LocalTranscriptionModelID::smallMultilingual},
    };
    for (const auto& [stored, expected] : models) {
        auto defaults = std::make_shared<InMemoryUserDefaults>();
        defaults->setString(Keys::selectedLocalModelID, stored);
        EXPECT_EQ(SettingsStore(defaults).selectedLocalModelID(), expected) << stored.toStdString();
        EXPECT_EQ(defaults->string(Keys::selectedLocalModelID), stored);
    }
    const std::pair<std::optional<V>, bool> switches[] = {
        {std::nullopt, true}, {V(false), false}, {V(QByteArray("true")), false}};
    for (const auto& [stored, expected] : switches) {
        auto defaults = std::make_shared<InMemoryUserDefaults>();
        for (const char* key : {Keys::dictionaryReplacementEnabled, Keys::clipboardFallbackEnabled})
            if (stored) defaults->setValue(key, *stored);
        SettingsStore store(defaults);
        EXPECT_EQ(store.dictionaryReplacementEnabled(), expected);
        EXPECT_EQ(store.clipboardFallbackEnabled(), expected);
    }
}

}  // namespace
}  // namespace quorvelle
