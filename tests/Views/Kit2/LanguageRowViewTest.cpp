#include "KitScene.h"

#include "Models/AppStrings.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

QString languageScene(const QString& code, const QString& name, bool selected, const QString& languageCode) {
    return loggedScene(QStringLiteral("TranscriptionLanguageRow {\n"
                                      "  objectName: 'language'; x: 16; y: 16; width: 448\n"
                                      "  option: ({ code: %1, name: '%2' }); languageCode: '%4'; isSelected: %3\n"
                                      "  callback: function() { scene.note('pick|' + option.name) }\n"
                                      "}\n")
                           .arg(code, name, selected ? QStringLiteral("true") : QStringLiteral("false"), languageCode));
}

using LanguageRowThemes = KitThemedTest;

TEST_P(LanguageRowThemes, SelectionShowsTheCheckAndBorderButKeepsTheFill) {
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected" : "not selected");
        ASSERT_TRUE(
            loadThemed(languageScene(QStringLiteral("'de'"), QStringLiteral("German"), selected, QStringLiteral("en")),
                       {480, 100}));
        EXPECT_COLOR_NEAR(fillOf(harness, item(QStringLiteral("language"))), colors().inputBackground);
        EXPECT_COLOR_NEAR(borderOf(item(QStringLiteral("language-row-background"))),
                          selected ? colors().selectedCardBorder : colors().inputBorder);
        EXPECT_EQ(shown(harness, QStringLiteral("language-check")), selected);
        EXPECT_COLOR_NEAR(item(QStringLiteral("language-check"))->property("color").value<QColor>(),
                          colors().successText);
        shootKit(selected ? "language-row-selected" : "language-row");
    }
}

INSTANTIATE_TEST_SUITE_P(Black, LanguageRowThemes, ::testing::Values(Theme::Black), ThemeName());

TEST(LanguageRowViewTest, DetailLineTellsTheCodeOrTheAutomaticHintInTheInterfaceLanguage) {
    struct Case {
        const char* code;  // as QML: a quoted string or null
        const char* name;
        const char* languageCode;
        const char* detail;
    };
    const Case cases[] = {
        {"'de'", "German", "tr", "ISO-639-1 kodu: de"},
        {"null", "Automatic", "tr", "Çok dilli konuşma için otomatik algılama kullan."},
        {"undefined", "Automatic", "en", "Use auto-detection for multilingual speech."},
    };
    ViewHarness harness;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + c.languageCode);
        ASSERT_TRUE(harness.load(languageScene(QString::fromLatin1(c.code), QString::fromLatin1(c.name), false,
                                               QString::fromLatin1(c.languageCode)),
                                 {480, 100}));
        EXPECT_EQ(textOf(harness, QStringLiteral("language-detail")), QString::fromUtf8(c.detail));
        const AppStrings strings{QString::fromLatin1(c.languageCode)};
        const QString code = QString::fromLatin1(c.code);
        TranscriptionLanguageOption option{std::nullopt, QString::fromLatin1(c.name)};
        if (code.startsWith(QLatin1Char('\''))) option.code = code.mid(1, code.size() - 2);
        EXPECT_EQ(textOf(harness, QStringLiteral("language-title")), strings.transcriptionLanguageTitle(option));
    }
    harness.shoot("kit2-language-row-automatic");
}

TEST(LanguageRowViewTest, APressAnywhereOnTheRowCallsTheAction) {
    ViewHarness harness;
    ASSERT_TRUE(harness.load(
        languageScene(QStringLiteral("'tr'"), QStringLiteral("Turkish"), true, QStringLiteral("en")), {480, 100}));
    harness.grab();
    QQuickItem* row = harness.find(QStringLiteral("language"));
    harness.click(row, {4, 4});
    harness.click(harness.find(QStringLiteral("language-title")));
    harness.click(row, {row->width() / 2, row->height() / 2});
    harness.click(harness.find(QStringLiteral("language-check")));
    EXPECT_EQ(callLog(harness), QStringList(4, QStringLiteral("pick|Turkish")));
}

}  // namespace
}  // namespace quorvelle::test
