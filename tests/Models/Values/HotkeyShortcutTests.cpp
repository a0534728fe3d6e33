#include "Models/HotkeyShortcut.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QSet>

#include <map>

using quorvelle::HotkeyShortcut;

namespace {

constexpr quint32 Cmd = 0x100;
constexpr quint32 Shift = 0x200;
constexpr quint32 Alt = 0x800;
constexpr quint32 Ctrl = 0x1000;

const QString unsupportedMessage = QStringLiteral("Bu tus kombinasyonu simdilik desteklenmiyor.");
const QString searchMessage = QStringLiteral("Super + Space masaustu aramasiyla cakisir.");
const QString switcherMessage = QStringLiteral("Super + Tab uygulama degistirici ile cakisir.");
const QString superMessage =
    QStringLiteral("Super iceren hotkey'ler sistem ve uygulama kisayollariyla cakisabilecegi icin bloke edildi.");
const QString inputSourceMessage = QStringLiteral("Control + Space masaustu input source kisayoluyla cakisabilir.");
const QString needModifierMessage = QStringLiteral("En az Control veya Alt iceren bir kombinasyon sec.");

QStringList titles(const QList<HotkeyShortcut>& shortcuts)
{
    QStringList result;
    for (const auto& shortcut : shortcuts) {
        result << shortcut.displayTitle;
    }
    return result;
}

} // namespace

TEST(HotkeyShortcut, NamesExactlyTheTableKeys)
{
    const std::map<quint32, QString> named = {
        {0, "A"},  {1, "S"},  {2, "D"},  {3, "F"},  {4, "H"},  {5, "G"},       {6, "Z"},  {7, "X"},
        {8, "C"},  {9, "V"},  {11, "B"}, {12, "Q"}, {13, "W"}, {14, "E"},      {15, "R"}, {16, "Y"},
        {17, "T"}, {31, "O"}, {32, "U"}, {34, "I"}, {35, "P"}, {36, "Return"}, {37, "L"}, {38, "J"},
        {40, "K"}, {45, "N"}, {46, "M"}, {48, "Tab"}, {49, "Space"},
    };
    for (quint32 code = 0; code <= 130; ++code) {
        const auto found = named.find(code);
        const std::optional<QString> name = HotkeyShortcut::keyName(code);
        if (found == named.end()) {
            EXPECT_FALSE(name.has_value()) << "code " << code;
        } else {
            ASSERT_TRUE(name.has_value()) << "code " << code;
            EXPECT_EQ(*name, found->second) << "code " << code;
        }
    }
    EXPECT_FALSE(HotkeyShortcut::keyName(0xFFFFFFFFu).has_value());
}

TEST(HotkeyShortcut, ModifierTitlesFollowFixedOrder)
{
    const struct {
        quint32 mask;
        QStringList expected;
    } cases[] = {
        {0, {}},
        {Cmd, {"Super"}},
        {Alt, {"Alt"}},
        {Cmd | Shift | Alt | Ctrl, {"Control", "Alt", "Shift", "Super"}},
        {Cmd | Ctrl, {"Control", "Super"}},
        {Shift | Alt | 0x1, {"Alt", "Shift"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HotkeyShortcut::modifierTitle(c.mask), c.expected) << "mask " << c.mask;
    }
}

TEST(HotkeyShortcut, KeyPressBuildsMaskedShortcutWithTitle)
{
    const struct {
        quint32 keyCode;
        quint32 modifiers;
        std::optional<quint32> expectedMask;
        QString expectedTitle;
    } cases[] = {
        {49, Ctrl | Alt | 0x4000 | 0x1, Ctrl | Alt, "Control + Alt + Space"},
        {15, Ctrl | Alt | Shift | Cmd, Ctrl | Alt | Shift | Cmd, "Control + Alt + Shift + Super + R"},
        {36, Shift, Shift, "Shift + Return"},
        {49, 0, std::nullopt, {}},
        {49, 0x4000, std::nullopt, {}},
        {50, Ctrl | Alt, std::nullopt, {}},
        {18, Ctrl, std::nullopt, {}},
    };
    for (const auto& c : cases) {
        const auto shortcut = HotkeyShortcut::fromKeyPress(c.keyCode, c.modifiers);
        ASSERT_EQ(shortcut.has_value(), c.expectedMask.has_value()) << c.keyCode << "/" << c.modifiers;
        if (shortcut) {
            EXPECT_EQ(shortcut->keyCode, c.keyCode);
            EXPECT_EQ(shortcut->carbonModifiers, *c.expectedMask);
            EXPECT_EQ(shortcut->displayTitle, c.expectedTitle);
        }
    }
}

TEST(HotkeyShortcut, SuggestionsAreTheThreePresetsInOrder)
{
    const auto& presets = HotkeyShortcut::suggestions();
    ASSERT_EQ(presets.size(), 3);
    const struct {
        quint32 keyCode;
        QString title;
    } expected[] = {{49, "Control + Alt + Space"}, {36, "Control + Alt + Return"}, {15, "Control + Alt + R"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(presets[i].keyCode, expected[i].keyCode);
        EXPECT_EQ(presets[i].carbonModifiers, 0x1800u);
        EXPECT_EQ(presets[i].displayTitle, expected[i].title);
        // A preset must be what recording the same keys would produce.
        EXPECT_EQ(HotkeyShortcut::fromKeyPress(presets[i].keyCode, 0x1800)->displayTitle, presets[i].displayTitle);
        EXPECT_FALSE(HotkeyShortcut::validate(presets[i].keyCode, presets[i].carbonModifiers).has_value());
    }
}

TEST(HotkeyShortcut, ValidationAcceptsAndRejectsByFirstMatchingRule)
{
    const QStringList all = {"Control + Alt + Space", "Control + Alt + Return", "Control + Alt + R"};
    const struct {
        quint32 keyCode;
        quint32 modifiers;
        std::optional<QString> message; // none = accepted
        QStringList suggestionTitles;
    } cases[] = {
        {49, Ctrl | Alt, std::nullopt, {}},
        {49, Alt, std::nullopt, {}},
        {49, Ctrl | Shift, std::nullopt, {}},
        {0, Ctrl, std::nullopt, {}},
        {49, Ctrl | 0x4000, inputSourceMessage, all}, // stray bits do not hide Control alone
        {49, Ctrl, inputSourceMessage, all},
        {0, Shift, needModifierMessage, all},
        {0, 0, needModifierMessage, all},
        {15, Cmd | Alt, superMessage, all},
        {49, Cmd | Shift, searchMessage, all},
        {48, Cmd | Ctrl, switcherMessage, all},
        {18, Ctrl | Alt, unsupportedMessage, all},
        {122, Ctrl | Alt, unsupportedMessage, all},
        {122, Cmd, unsupportedMessage, all},
        {15, Ctrl | Alt | Shift | Cmd, superMessage, all},
        // Same key and mask as a preset plus Super: not the preset, so all three are offered.
        {36, 0x1800 | Cmd, superMessage, all},
    };
    for (const auto& c : cases) {
        const auto rejection = HotkeyShortcut::validate(c.keyCode, c.modifiers);
        ASSERT_EQ(rejection.has_value(), c.message.has_value()) << c.keyCode << "/" << c.modifiers;
        if (rejection) {
            EXPECT_EQ(rejection->message, *c.message) << c.keyCode << "/" << c.modifiers;
            EXPECT_EQ(titles(rejection->suggestions), c.suggestionTitles) << c.keyCode << "/" << c.modifiers;
        }
    }
}

TEST(HotkeyShortcut, EqualityAndHashIgnoreTitle)
{
    const HotkeyShortcut a{49, 0x1800, "Control + Alt + Space"};
    const HotkeyShortcut b{49, 0x1800, "something else"};
    const HotkeyShortcut c{49, 0x1000, "Control + Alt + Space"};
    const HotkeyShortcut d{36, 0x1800, "Control + Alt + Space"};
    EXPECT_EQ(a, b);
    EXPECT_EQ(qHash(a), qHash(b));
    EXPECT_NE(a, c);
    EXPECT_NE(a, d);
    QSet<HotkeyShortcut> set{a, b, c, d};
    EXPECT_EQ(set.size(), 3);
}

TEST(HotkeyShortcut, JsonUsesStoredKeysAndRoundTrips)
{
    const HotkeyShortcut shortcut{15, 0x1a00, "Control + Alt + Shift + R"};
    const QJsonObject json = shortcut.toJson();
    EXPECT_EQ(json.keys(), (QStringList{"carbonModifiers", "displayTitle", "keyCode"}));
    EXPECT_EQ(json.value("keyCode").toInt(), 15);
    EXPECT_EQ(json.value("carbonModifiers").toInt(), 0x1a00);
    EXPECT_EQ(json.value("displayTitle").toString(), shortcut.displayTitle);

    const auto decoded = HotkeyShortcut::fromJson(json);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->displayTitle, shortcut.displayTitle);
    EXPECT_EQ(*decoded, shortcut);
}

TEST(HotkeyShortcut, JsonDecodingNeedsAllKeysButDoesNotValidate)
{
    const auto parse = [](const char* text) {
        return HotkeyShortcut::fromJson(QJsonDocument::fromJson(text).object());
    };
    const auto stored = parse(R"j({"keyCode":49,"carbonModifiers":6144,"displayTitle":"Ctrl Alt Space (old)"})j");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(*stored, HotkeyShortcut::suggestions().first());
    EXPECT_EQ(stored->displayTitle, "Ctrl Alt Space (old)");

    const auto invalid = parse(R"({"keyCode":49,"carbonModifiers":256,"displayTitle":"Command + Space"})");
    ASSERT_TRUE(invalid.has_value());
    EXPECT_EQ(invalid->carbonModifiers, 256u);

    const char* broken[] = {
        R"({"carbonModifiers":6144,"displayTitle":"x"})",
        R"({"keyCode":49,"displayTitle":"x"})",
        R"({"keyCode":49,"carbonModifiers":6144})",
        R"({"keyCode":"49","carbonModifiers":6144,"displayTitle":"x"})",
        R"({"keyCode":49,"carbonModifiers":6144,"displayTitle":5})",
        R"({"keyCode":-1,"carbonModifiers":6144,"displayTitle":"x"})",
        R"({"keyCode":49.5,"carbonModifiers":6144,"displayTitle":"x"})",
        R"({"keyCode":49,"carbonModifiers":4294967296,"displayTitle":"x"})",
        R"({})",
    };
    for (const char* text : broken) {
        EXPECT_FALSE(parse(text).has_value()) << text;
    }
}
