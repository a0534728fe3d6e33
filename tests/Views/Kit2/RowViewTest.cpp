// The saved-item rows and the language rows. Which action each saved-item button calls with which
// entry is walked by the dictionary and snippets pages' tests, the history row's quick add by the
// history page's.
#include "ViewHarness.h"

#include <gtest/gtest.h>

#include <QQmlContext>

namespace quorvelle::test {
namespace {

QString dictionaryRow(const QString& entry, const QString& languageCode, int y) {
    return QStringLiteral("DictionaryEntryRow { x: 16; y: %3; width: 608; languageCode: '%2'; entry: %1 }\n")
        .arg(entry, languageCode)
        .arg(y);
}

QString titleIn(ViewHarness& harness, int row, const char* name) {
    return harness.root()->childItems().at(row)->findChild<QQuickItem*>(name)->property("title").toString();
}

QString pillTitles(ViewHarness& harness, int row) {
    return titleIn(harness, row, "dictionary-category") + " | " + titleIn(harness, row, "dictionary-updated");
}

// The second row's entry comes from C++, as a page hands a stored entry over: a map with the
// record's own types.
TEST(SavedItemRowViews, RowsShowTheirEntryInTheInterfaceLanguage) {
    ViewHarness harness;
    harness.engine().rootContext()->setContextProperty(
        "storedEntry", QVariantMap{{"original", "cube control"},
                                   {"replacement", "kubectl"},
                                   {"category", QString()},
                                   {"updatedAt", QDateTime(QDate(2024, 11, 9), QTime(12, 0), Qt::LocalTime)}});
    const QString march =
        "({ original: 'cube control', replacement: 'kubectl', category: '%1', "
        "updatedAt: new Date(2024, 2, 5, 12, 0) })";
    ASSERT_TRUE(harness.load("Item {\n" + dictionaryRow(march.arg("Work"), "en", 16) +
                                 dictionaryRow("storedEntry", "en", 130) + dictionaryRow(march.arg(""), "tr", 244) +
                                 "SnippetRow { x: 16; y: 358; width: 608; snippet: ({ phrase: 'sign off', expansion: "
                                 "'Best regards,\\nAda' }) }"
                                 "\n}",
                             {640, 460}));
    harness.shootInEveryTheme("kit2-dictionary-and-snippet-rows");
    EXPECT_EQ(harness.text("dictionary-pair"), "cube control → kubectl");
    EXPECT_EQ(harness.text("snippet-line"), "sign off → Best regards, Ada");
    EXPECT_EQ(pillTitles(harness, 0), "Work | Updated 3/5/2024");
    EXPECT_EQ(pillTitles(harness, 1), "Uncategorized | Updated 11/9/2024");
    EXPECT_EQ(pillTitles(harness, 2), "Kategorisiz | Güncellendi 3/5/2024");
    EXPECT_EQ(titleIn(harness, 2, "edit-button") + " | " + titleIn(harness, 2, "delete-button"), "Düzenle | Sil");
}

// A model row's badge and actions in each state are walked by the settings page's test; a language
// row says what its choice does.
TEST(SavedItemRowViews, LanguageRowsSayWhatTheirChoiceDoes) {
    ViewHarness harness;
    for (const auto& [code, detail] : {std::pair{"null", "Çok dilli konuşma için otomatik algılama kullan."},
                                       std::pair{"'de'", "ISO-639-1 kodu: de"}}) {
        ASSERT_TRUE(harness.load(QStringLiteral("TranscriptionLanguageRow { width: 448; isSelected: true; "
                                                "option: ({ code: %1, name: 'German' }); languageCode: 'tr' }")
                                     .arg(code),
                                 {480, 100}));
        EXPECT_EQ(harness.text("language-detail"), detail);
    }
    harness.shoot("kit2-language-row-selected");
}

}  // namespace
}  // namespace quorvelle::test
