#include "Models/HotkeyShortcut.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

using quorvelle::HotkeyShortcut;

namespace {

constexpr quint32 Cmd = 0x100, Shift = 0x200, Alt = 0x800, Ctrl = 0x1000;

const QString unsupported = QStringLiteral("Bu tus kombinasyonu simdilik desteklenmiyor.");
const QString inputSource = QStringLiteral("Control + Space masaustu input source kisayoluyla cakisabilir.");

}  // namespace

TEST(HotkeyShortcut, KeyPressBuildsMaskedShortcutWithTitle) {
    const std::tuple<quint32, quint32, std::optional<quint32>, const char*> cases[] = {
        {49, Ctrl | Alt | 0x4000 | 0x1, Ctrl | Alt, "Control + Alt + Space"},
        {15, Ctrl | Alt | Shift | Cmd, Ctrl | Alt | Shift | Cmd, "Control + Alt + Shift + Super + R"},
        {46, Shift | Alt | 0x1, Shift | Alt, "Alt + Shift + M"},
        {49, 0, std::nullopt, ""},
        {50, Ctrl | Alt, std::nullopt, ""},
        {18, Ctrl, std::nullopt, ""},
    };
    for (const auto& [keyCode, modifiers, mask, title] : cases) {
        const auto shortcut = HotkeyShortcut::fromKeyPress(keyCode, modifiers);
        EXPECT_EQ(shortcut, mask ? std::optional(HotkeyShortcut{keyCode, *mask, {}}) : std::nullopt) << keyCode;
        EXPECT_EQ(shortcut.value_or(HotkeyShortcut{}).displayTitle, title) << keyCode << "/" << modifiers;
    }
}

TEST(HotkeyShortcut, ValidationAcceptsAndRejectsByFirstMatchingRuleOfferingTheValidPresets) {
    for (const HotkeyShortcut& preset : HotkeyShortcut::suggestions()) {
        EXPECT_EQ(HotkeyShortcut::fromKeyPress(preset.keyCode, preset.carbonModifiers).value().displayTitle,
                  preset.displayTitle);
        EXPECT_FALSE(HotkeyShortcut::validate(preset.keyCode, preset.carbonModifiers).has_value());
    }

    // No message: accepted.
    const std::tuple<quint32, quint32, std::optional<QString>> cases[] = {
        {0, Ctrl, std::nullopt},
        {49, Ctrl, inputSource},
        {49, Ctrl | 0x4000, inputSource},  // stray bits do not hide Control alone
        {0, Shift, "En az Control veya Alt iceren bir kombinasyon sec."},
        {15, Ctrl | Alt | Shift | Cmd,
         "Super iceren hotkey'ler sistem ve uygulama kisayollariyla cakisabilecegi icin bloke edildi."},
        {49, Cmd | Shift, "Super + Space masaustu aramasiyla cakisir."},
        {48, Cmd | Ctrl, "Super + Tab uygulama degistirici ile cakisir."},
        {18, Ctrl | Alt, unsupported},
        {122, Cmd, unsupported},
    };
    for (const auto& [keyCode, modifiers, message] : cases) {
        SCOPED_TRACE(testing::Message() << keyCode << "/" << modifiers);
        const auto rejection = HotkeyShortcut::validate(keyCode, modifiers);
        EXPECT_EQ(rejection ? std::optional(rejection->message) : std::nullopt, message);
        EXPECT_EQ(rejection ? rejection->suggestions : HotkeyShortcut::suggestions(), HotkeyShortcut::suggestions());
    }
}

TEST(HotkeyShortcut, JsonRoundTripsAndDecodingNeedsAllKeysButDoesNotValidate) {
    const HotkeyShortcut shortcut{15, 0x1a00, "Control + Alt + Shift + R"};
    const QJsonObject json = shortcut.toJson();
    EXPECT_EQ(json, QJsonDocument::fromJson(
                        R"({"keyCode":15,"carbonModifiers":6656,"displayTitle":"Control + Alt + Shift + R"})")
                        .object());
    EXPECT_EQ(HotkeyShortcut::fromJson(json), shortcut);
    const auto parse = [](const char* text) {
        return HotkeyShortcut::fromJson(QJsonDocument::fromJson(text).object());
    };
    // The stored title is kept as it was (equality compares the keys only).
    const auto stored = parse(R"j({"keyCode":49,"carbonModifiers":6144,"displayTitle":"Ctrl Alt Space (old)"})j");
    EXPECT_EQ(stored.value_or(HotkeyShortcut{}).displayTitle, "Ctrl Alt Space (old)");
    EXPECT_EQ(parse(R"({"keyCode":49,"carbonModifiers":256,"displayTitle":"Command + Space"})"),
              (HotkeyShortcut{49, 256, {}}));

    const char* broken[] = {R"({"carbonModifiers":6144,"displayTitle":"x"})",
                            R"({"keyCode":49,"carbonModifiers":6144})",
                            R"({"keyCode":"49","carbonModifiers":6144,"displayTitle":"x"})",
                            R"({"keyCode":-1,"carbonModifiers":6144,"displayTitle":"x"})",
                            R"({"keyCode":49.5,"carbonModifiers":6144,"displayTitle":"x"})",
                            R"({"keyCode":49,"carbonModifiers":4294967296,"displayTitle":"x"})"};
    for (const char* text : broken)
        EXPECT_FALSE(parse(text).has_value()) << text;
}
