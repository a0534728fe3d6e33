// The history row's quick dictionary add, the saved-item rows and the language rows. Which action
// each saved-item button calls with which entry is walked by the dictionary and snippets pages' tests.
#include "ViewHarness.h"

#include <gtest/gtest.h>

#include <QQmlContext>
#include <QTest>

namespace quorvelle::test {
namespace {

class HistoryRowViews : public ::testing::Test {
protected:
    // The history page's own entries, and the save reaching the view model, are walked by its test.
    void load(const QString& transcript) {
        ASSERT_TRUE(harness.load(loggedScene(QStringLiteral("HistoryRowCard {\n"
                                                            "  objectName: 'row'; x: 16; y: 16; width: 608\n"
                                                            "  entry: ({ transcript: '%1', wordCountLabel: '9 words', "
                                                            "dictionaryActionTitle: 'Add to Dictionary' })\n"
                                                            "  saveToDictionaryAction: (o, r) => scene.note('save|' + "
                                                            "o + '|' + r) }")
                                                 .arg(transcript)),
                                 {640, 420}));
    }
    QQuickItem* row() { return harness.item("row"); }
    QString original() { return row()->property("originalTerm").toString(); }
    QString replacement() { return row()->property("replacementTerm").toString(); }
    bool formOpen() { return harness.shows("quick-dictionary-add"); }
    void open() { harness.click(harness.item("history-dictionary-button")); }
    QQuickItem* saveButton() { return harness.item("quick-add-save"); }
    void retype(const char* field, const QString& text) {
        harness.click(harness.item(field)->findChild<QQuickItem*>("form-field-input"));
        QTest::keyClick(&harness.window(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&harness.window(), Qt::Key_Backspace);
        harness.typeText(text);
    }

    ViewHarness harness;
};

// The row's texts and pills are walked by the overview and history pages' tests.
TEST_F(HistoryRowViews, SavesOnlyTrimmedNonBlankTermsAndKeepsTheOriginalAfterSavingOrCancelling) {
    load("we run cube control on the cluster");
    harness.shootInEveryTheme("kit2-history-row");

    open();
    ASSERT_TRUE(formOpen());
    EXPECT_EQ(original(), "we run cube control on the cluster");
    harness.shootInEveryTheme("kit2-history-row-quick-add");
    retype("quick-add-original", "  cube control  ");
    retype("quick-add-replacement", "kubectl");
    EXPECT_EQ(original(), "  cube control  ");
    row()->setProperty("replacementTerm", "kubectl\n");
    harness.click(saveButton());
    EXPECT_EQ(harness.log(), QStringList{"save|cube control|kubectl"});
    EXPECT_FALSE(formOpen());
    EXPECT_EQ(replacement(), QString());

    open();
    EXPECT_EQ(original(), "  cube control  ");
    // A second press of the dictionary button leaves the open form as it is.
    open();
    EXPECT_TRUE(formOpen());

    const struct {
        const char* name;
        QString original;
        QString replacement;
        bool canSave;
    } cases[] = {
        {"blank original", " \n\t", "b", false},
        {"blank replacement", "a", "\n ", false},
        {"both words", "a", "b", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        row()->setProperty("originalTerm", c.original);
        row()->setProperty("replacementTerm", c.replacement);
        EXPECT_EQ(saveButton()->isEnabled(), c.canSave);
        if (c.canSave) continue;
        // Neither a click nor the save step itself reports a blank pair; the form keeps its text.
        harness.click(saveButton());
        QMetaObject::invokeMethod(row(), "saveQuickDictionaryAdd");
        EXPECT_EQ(harness.log().size(), 1);
        EXPECT_TRUE(formOpen());
        EXPECT_EQ(original(), c.original);
        EXPECT_EQ(replacement(), c.replacement);
    }
    // Cancelled, the form forgets the replacement; the original typed stays for the next opening.
    retype("quick-add-original", "term");
    harness.click(harness.item("quick-add-cancel"));
    EXPECT_FALSE(formOpen());
    EXPECT_EQ(harness.log().size(), 1);
    EXPECT_EQ(replacement(), QString());
    open();
    EXPECT_EQ(original(), "term");
}

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
