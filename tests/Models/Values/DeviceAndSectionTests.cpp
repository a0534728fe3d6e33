#include "Models/AudioInputDevicePreference.h"
#include "Models/MainWindowSection.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

using namespace quorvelle;

TEST(AudioInputDevicePreference, JsonKeysRoundTripAndStrictDecoding) {
    const AudioInputDevicePreference preference{"alsa_input.usb-Blue_Yeti", "Yeti Stereo Microphone"};
    const QJsonObject json = preference.toJson();
    EXPECT_EQ(json.keys(), (QStringList{"name", "uid"}));
    EXPECT_EQ(json.value("uid").toString(), preference.uid);
    EXPECT_EQ(json.value("name").toString(), preference.name);
    EXPECT_EQ(AudioInputDevicePreference::fromJson(json), preference);

    const auto parse = [](const char* text) {
        return AudioInputDevicePreference::fromJson(QJsonDocument::fromJson(text).object());
    };
    EXPECT_EQ(parse(R"({"uid":"a","name":"","extra":1})"), (AudioInputDevicePreference{"a", ""}));
    for (const char* broken :
         {R"({"uid":"a"})", R"({"name":"b"})", R"({"uid":1,"name":"b"})", R"({"uid":"a","name":null})", R"({})"}) {
        EXPECT_FALSE(parse(broken).has_value()) << broken;
    }
}

TEST(MainWindowSection, RawValuesInSidebarOrderAndExactParsing) {
    const QStringList expected = {"overview",  "history",      "dictionary", "snippets",   "instructions",
                                  "shortcuts", "subscription", "settings",   "appearance", "changelog"};
    const auto& sections = allMainWindowSections();
    ASSERT_EQ(sections.size(), static_cast<size_t>(expected.size()));
    for (size_t i = 0; i < sections.size(); ++i) {
        EXPECT_EQ(rawValue(sections[i]), expected[static_cast<qsizetype>(i)]);
        EXPECT_EQ(mainWindowSectionFromRawValue(expected[static_cast<qsizetype>(i)]), sections[i]);
    }
    EXPECT_EQ(sections.front(), MainWindowSection::overview);
    EXPECT_EQ(sections.back(), MainWindowSection::changelog);
    for (const char* other : {"", "Overview", "HISTORY", " settings", "settings ", "change", "account"}) {
        EXPECT_FALSE(mainWindowSectionFromRawValue(QString::fromLatin1(other)).has_value()) << other;
    }
}
