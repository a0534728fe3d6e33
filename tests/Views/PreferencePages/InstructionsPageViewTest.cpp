// The instructions page: the editor and its 2000-character cut, presets, Save, Reset, cleanup modes.
#include "../Dashboard/ViewModelScene.h"

namespace quorvelle::test {
namespace {

class InstructionsPageViewTest : public ViewModelScene {
protected:
    QQuickItem* openInstructions(const char* language = "english") {
        fakes.makeReadyForCloudDictation();
        return open(QStringLiteral("instructions"), language);
    }
    QQuickItem* editor() { return item("instructions-text"); }
    QString draft() const { return viewModel->preferences()->customInstructionsDraft(); }
    bool canSave() { return item("instructions-save")->isEnabled(); }
    bool presetSelected(const char* preset) { return selected(QStringLiteral("instructions-preset-") + preset); }
    std::optional<QString> stored(const char* key = SettingsKeys::customInstructions) const {
        return fakes.userDefaults->string(QString::fromLatin1(key));
    }
    // Puts the cursor at `position` and types there, as the user would.
    void typeAt(qsizetype position, const QString& typed) {
        harness.click(editor());
        editor()->setProperty("cursorPosition", int(position));
        harness.typeText(typed);
    }
};

TEST_F(InstructionsPageViewTest, TypingEditsTheDraftWhichOutlivesASectionSwitchInTurkish) {
    QQuickItem* page = openInstructions("turkish");
    ASSERT_TRUE(page);
    expectTexts(page, {"Genel Talimatlar", "Talimatları Kaydet", "0 / 2000 karakter"});
    EXPECT_TRUE(presetSelected("default"));
    EXPECT_DOUBLE_EQ(item("instructions-save")->opacity(), 0.55);
    typeAt(0, QStringLiteral("Keep it short"));
    EXPECT_EQ(draft(), QStringLiteral("Keep it short"));
    EXPECT_FALSE(presetSelected("default"));
    EXPECT_DOUBLE_EQ(item("instructions-save")->opacity(), 1.0);

    // The page is made anew on coming back.
    state()->selectSection(QStringLiteral("overview"));
    settle();
    state()->selectSection(QStringLiteral("instructions"));
    settle();
    EXPECT_EQ(editor()->property("text").toString(), QStringLiteral("Keep it short"));
    EXPECT_EQ(text("instructions-counter"), QStringLiteral("13 / 2000 karakter"));
    harness.shoot("pages2-instructions-draft-tr");
    // The preset texts stay English.
    harness.click(item("instructions-preset-shortAndClean"));
    EXPECT_TRUE(draft().startsWith(QStringLiteral("Keep sentences short.")));
}

TEST_F(InstructionsPageViewTest, TheEditorKeepsTheFirst2000CharactersWhereverTheTextGrew) {
    ASSERT_TRUE(openInstructions());
    // A paste of 2500 letters keeps the first 2000.
    const QString letters = QStringLiteral("abcde").repeated(500);
    editor()->setProperty("text", letters);
    EXPECT_EQ(draft(), letters.left(2000));
    EXPECT_EQ(editor()->property("text").toString(), draft());

    // Emoji of several code points count once each: 2000 of them are taken whole.
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const QString full = family.repeated(2000);
    editor()->setProperty("text", full);
    EXPECT_EQ(draft(), full);
    EXPECT_EQ(text("instructions-counter"), QStringLiteral("2000 / 2000 characters"));

    // Typed at the end, the character is refused and the editor snaps back; typed at the start,
    // it stays, the last character goes and the cursor stays after it.
    typeAt(full.size(), QStringLiteral("x"));
    EXPECT_EQ(draft(), full);
    EXPECT_EQ(editor()->property("text").toString(), full);
    typeAt(0, QStringLiteral("x"));
    EXPECT_EQ(draft(), QStringLiteral("x") + family.repeated(1999));
    EXPECT_EQ(editor()->property("text").toString(), draft());
    EXPECT_EQ(editor()->property("cursorPosition").toInt(), 1);
}

TEST_F(InstructionsPageViewTest, PresetsFillTheDraftOnlySaveStoresItAndACleanupModeIsStoredAtOnce) {
    ASSERT_TRUE(openInstructions());
    const QString professional =
        QStringLiteral("Use proper capitalization and punctuation. Keep the wording clear, concise, and professional.");
    harness.click(item("instructions-preset-professional"));
    EXPECT_EQ(editor()->property("text").toString(), professional);
    EXPECT_TRUE(presetSelected("professional"));
    EXPECT_FALSE(stored());

    harness.click(item("instructions-save"));
    EXPECT_EQ(message(), QStringLiteral("Instructions saved."));
    EXPECT_EQ(stored(), professional);
    EXPECT_FALSE(canSave());
    // A trailing space unmarks the preset; Save stays off, the trim hides the space.
    typeAt(professional.size(), QStringLiteral(" "));
    EXPECT_FALSE(presetSelected("professional"));
    EXPECT_FALSE(canSave());

    harness.click(item("instructions-preset-default"));
    EXPECT_EQ(draft(), QString());
    harness.click(item("instructions-reset"));
    EXPECT_EQ(message(), QStringLiteral("Instructions reset."));
    EXPECT_EQ(stored(), QString());
    EXPECT_TRUE(presetSelected("default"));

    harness.click(item("instructions-cleanup-email"));
    EXPECT_EQ(stored(SettingsKeys::selectedPostProcessingMode), QStringLiteral("email"));
    for (const char* mode : {"off", "default", "chat", "email", "rewrite"})
        EXPECT_EQ(selected(QStringLiteral("instructions-cleanup-") + mode), QLatin1String(mode) == "email") << mode;
}

}  // namespace
}  // namespace quorvelle::test
