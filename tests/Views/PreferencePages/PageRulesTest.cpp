// The pure rules of the shortcuts and instructions pages: the shortcut's compact title, the
// 2000-character cut and count, the counter and the presets matched by exact text.
#include "Views/Dashboard/Pages/InstructionsPageRules.h"
#include "Views/Dashboard/Pages/ShortcutsPageTexts.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

TEST(ShortcutsPageTexts, ControlAndShiftBecomeSignsBeforeTheSeparatorsWiden) {
    struct Case {
        const char* title;
        const char16_t* shown;
    } cases[] = {
        {"Control + R", u"^  +  R"},
        {"Control + Alt + Shift + Super + Return", u"^  +  Alt  +  \u21E7  +  Super  +  Return"},
        {"Shift + Tab", u"\u21E7  +  Tab"},
        {"Alt + Space", u"Alt  +  Space"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortcutsPageTexts::hotkeyDisplayText(QString::fromLatin1(c.title)), QString::fromUtf16(c.shown))
            << c.title;
    EXPECT_EQ(ShortcutsPageTexts::recordingModeDescription(QStringLiteral("tr"), QStringLiteral("toggle")),
              QString::fromUtf8("Kaydı başlatmak için bir kez, bitirmek için tekrar basın."));
    EXPECT_EQ(ShortcutsPageTexts::recordingModeDescription(QStringLiteral("de"), QStringLiteral("pushToTalk")),
              QStringLiteral("Record while the hotkey is held."));
}

TEST(InstructionsPageRules, TheCutAndTheCountAreInUserPerceivedCharacters) {
    const QString accented = QStringLiteral("e\u0301");  // one character of two code points
    const QString flag = QStringLiteral("\U0001F1F9\U0001F1F7");
    const QString mixed = (accented + flag).repeated(1000);
    EXPECT_EQ(InstructionsPageRules::characterCount(mixed), 2000);
    EXPECT_EQ(InstructionsPageRules::limited(mixed), mixed);
    const QString longer = mixed + accented;
    EXPECT_EQ(InstructionsPageRules::limited(longer), mixed);
    EXPECT_EQ(InstructionsPageRules::limited(flag + mixed), flag + mixed.chopped(flag.size()));
    EXPECT_EQ(InstructionsPageRules::counterText(QStringLiteral("tr"), accented + QStringLiteral(" \n")),
              QStringLiteral("3 / 2000 karakter"));
    EXPECT_EQ(InstructionsPageRules::counterText(QStringLiteral("xx"), QString()),
              QStringLiteral("0 / 2000 characters"));
}

TEST(InstructionsPageRules, APresetIsSelectedOnlyByItsExactText) {
    EXPECT_EQ(InstructionsPageRules::presetNames(), (QStringList{"default", "professional", "shortAndClean"}));
    const QString professional = InstructionsPageRules::presetText(QStringLiteral("professional"));
    struct Case {
        QString draft;
        const char* selected;
    } cases[] = {
        {QString(), "default"},
        {QStringLiteral(" "), ""},
        {professional, "professional"},
        {professional + QLatin1Char(' '), ""},
        {professional.toLower(), ""},
        {InstructionsPageRules::presetText(QStringLiteral("shortAndClean")), "shortAndClean"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InstructionsPageRules::selectedPreset(c.draft), QLatin1String(c.selected)) << c.draft.toStdString();
    // Titles are no raw values.
    EXPECT_EQ(InstructionsPageRules::presetTitle(QStringLiteral("en"), QStringLiteral("shortAndClean")),
              QStringLiteral("Short & Clean"));
    EXPECT_EQ(InstructionsPageRules::presetText(QStringLiteral("Short & Clean")), QString());
    EXPECT_EQ(InstructionsPageRules::presetTitle(QStringLiteral("tr"), QStringLiteral("Default")), QString());
}

}  // namespace
}  // namespace quorvelle
