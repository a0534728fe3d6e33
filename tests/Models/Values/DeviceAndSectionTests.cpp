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
