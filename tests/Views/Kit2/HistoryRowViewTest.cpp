#include "ViewHarness.h"

#include <gtest/gtest.h>

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
    QQuickItem* input(const char* field) { return harness.item(field)->findChild<QQuickItem*>("form-field-input"); }
    void retype(const char* field, const QString& text) {
        harness.click(input(field));
        QTest::keyClick(&harness.window(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&harness.window(), Qt::Key_Backspace);
        harness.typeText(text);
    }

    ViewHarness harness;
};

// The row's texts and pills are walked by the overview and history pages' tests.
TEST_F(HistoryRowViews, SavesOnlyTrimmedNonBlankTermsAndKeepsTheOriginalAfterSavingOrCancelling) {
    harness.setTheme(Theme::Light);
    load("we run cube control on the cluster");
    EXPECT_COLOR_NEAR(harness.fillOf(row()), harness.colors().cardFill);
    harness.shootInEveryTheme("kit2-history-row");

    open();
    ASSERT_TRUE(formOpen());
    EXPECT_EQ(original(), "we run cube control on the cluster");
    EXPECT_COLOR_NEAR(harness.fillOf(harness.item("quick-dictionary-add")), harness.colors().inputBackground);
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

}  // namespace
}  // namespace quorvelle::test
