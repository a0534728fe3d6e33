#include "KitScene.h"

#include "Views/Dashboard/Components/HistoryEntry.h"

#include <gtest/gtest.h>

#include <QTest>

namespace quorvelle::test {
namespace {

QString historyScene(const QString& transcript, const QString& languageCode = QStringLiteral("en")) {
    return loggedScene(
        QStringLiteral("HistoryRowCard {\n"
                       "  objectName: 'row'\n"
                       "  x: 16; y: 16; width: 608\n"
                       "  languageCode: '%2'\n"
                       "  entry: ({ id: 'A1B2', transcript: '%1', timestampLabel: 'Mar 5 AT 3:07 PM',\n"
                       "            wordCountLabel: '9 words', durationLabel: '4s',\n"
                       "            completionKindLabel: 'Inserted', dictionaryActionTitle: 'Add to Dictionary' })\n"
                       "  saveToDictionaryAction: function(original, replacement) {\n"
                       "    scene.note('save|' + original + '|' + replacement) }\n"
                       "}\n")
            .arg(transcript, languageCode));
}

QQuickItem* fieldInput(const ViewHarness& harness, const QString& field) {
    QQuickItem* formField = harness.find(field);
    return formField ? formField->findChild<QQuickItem*>(QStringLiteral("form-field-input")) : nullptr;
}

// Clicks into a field of the quick-add form and replaces its text by typing.
void retype(ViewHarness& harness, const QString& field, const QString& text) {
    QQuickItem* input = fieldInput(harness, field);
    ASSERT_NE(input, nullptr) << field.toStdString();
    harness.click(input);
    QTest::keyClick(&harness.window(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&harness.window(), Qt::Key_Backspace);
    harness.typeText(text);
}

// What the row's tests share, in one theme or (the plain suite) in the default one.
template <typename Base>
class HistoryRowFixture : public Base {
protected:
    ViewHarness& scene() { return this->harness; }
    QQuickItem* row() { return scene().find(QStringLiteral("row")); }
    QString original() { return row()->property("originalTerm").toString(); }
    QString replacement() { return row()->property("replacementTerm").toString(); }
    bool formOpen() { return shown(scene(), QStringLiteral("quick-dictionary-add")); }
    void open() { scene().click(scene().find(QStringLiteral("history-dictionary-button"))); }
    QQuickItem* saveButton() { return scene().find(QStringLiteral("quick-add-save")); }
};

struct PlainScene : ::testing::Test {
    ViewHarness harness;
};

using HistoryRowViewTest = HistoryRowFixture<PlainScene>;
using HistoryRowThemes = HistoryRowFixture<KitThemedTest>;

TEST_P(HistoryRowThemes, ShowsTheTranscriptAndPillsAndOpensTheForm) {
    const DesktopThemeColors colors = this->colors();
    ASSERT_TRUE(loadThemed(historyScene(QStringLiteral("Deploy the cluster with kubectl today")), {640, 420}));
    EXPECT_EQ(textOf(harness, QStringLiteral("history-transcript")),
              QStringLiteral("Deploy the cluster with kubectl today"));
    const std::pair<const char*, const char*> pills[] = {
        {"history-timestamp", "Mar 5 AT 3:07 PM"},
        {"history-word-count", "9 words"},
        {"history-duration", "4s"},
        {"history-completion-kind", "Inserted"},
    };
    for (const auto& [name, title] : pills) {
        EXPECT_EQ(item(QString::fromLatin1(name))->property("title").toString(), QString::fromLatin1(title));
    }
    EXPECT_FALSE(formOpen());
    EXPECT_COLOR_NEAR(fillOf(harness, row()), colors.cardFill);
    shootKit("history-row");

    open();
    ASSERT_TRUE(formOpen());
    EXPECT_EQ(original(), QStringLiteral("Deploy the cluster with kubectl today"));
    EXPECT_EQ(fieldInput(harness, QStringLiteral("quick-add-original"))->property("text").toString(), original());
    EXPECT_COLOR_NEAR(fillOf(harness, item(QStringLiteral("quick-dictionary-add"))), colors.inputBackground);
    shootKit("history-row-quick-add");
}

TEST_F(HistoryRowViewTest, SavingSendsTheTrimmedTermsOfTheDashboardsEntryAndKeepsTheOriginal) {
    HistoryEntry entry;
    entry.id = QUuid::createUuid();
    entry.transcript = QStringLiteral("we run cube control on the cluster");
    entry.wordCountLabel = QStringLiteral("7 kelime");
    entry.dictionaryActionTitle = QStringLiteral("Sözlüğe Ekle");
    harness.engine().rootContext()->setContextProperty(QStringLiteral("sampleEntry"), QVariant::fromValue(entry));
    ASSERT_TRUE(harness.load(
        loggedScene(QStringLiteral("HistoryRowCard { objectName: 'row'; width: 608; entry: sampleEntry\n"
                                   "  saveToDictionaryAction: (o, r) => scene.note('save|' + o + '|' + r) }")),
        {640, 420}));
    EXPECT_EQ(textOf(harness, QStringLiteral("history-transcript")), entry.transcript);
    EXPECT_EQ(textsIn(harness.find(QStringLiteral("history-dictionary-button"))),
              QStringList{entry.dictionaryActionTitle});
    open();
    EXPECT_EQ(original(), entry.transcript);
    // The user narrows the transcript down to the term they mean.
    retype(harness, QStringLiteral("quick-add-original"), QStringLiteral("  cube control  "));
    retype(harness, QStringLiteral("quick-add-replacement"), QStringLiteral("kubectl"));
    EXPECT_EQ(original(), QStringLiteral("  cube control  "));
    row()->setProperty("replacementTerm", QStringLiteral("kubectl\n"));
    harness.shoot("kit2-history-row-ready-to-save");

    harness.click(saveButton());
    EXPECT_EQ(callLog(harness), QStringList{QStringLiteral("save|cube control|kubectl")});
    EXPECT_FALSE(formOpen());
    EXPECT_EQ(replacement(), QString());

    open();
    EXPECT_EQ(fieldInput(harness, QStringLiteral("quick-add-original"))->property("text").toString(),
              QStringLiteral("  cube control  "));
    EXPECT_EQ(fieldInput(harness, QStringLiteral("quick-add-replacement"))->property("text").toString(), QString());
    // A second press of the dictionary button leaves the open form as it is.
    open();
    EXPECT_TRUE(formOpen());
    EXPECT_EQ(callLog(harness).size(), 1);
}

TEST_F(HistoryRowViewTest, SaveNeedsMoreThanWhiteSpaceInBothTerms) {
    struct Case {
        const char* name;
        QString original;
        QString replacement;
        bool canSave;
    };
    const Case cases[] = {
        {"both words", QStringLiteral("a"), QStringLiteral("b"), true},
        {"blank original", QStringLiteral(" \n\t"), QStringLiteral("b"), false},
        {"blank replacement", QStringLiteral("a"), QStringLiteral("\n "), false},
    };
    ASSERT_TRUE(harness.load(historyScene(QStringLiteral("text")), {640, 420}));
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        row()->setProperty("originalTerm", c.original);
        row()->setProperty("replacementTerm", c.replacement);
        EXPECT_EQ(saveButton()->isEnabled(), c.canSave);
        EXPECT_DOUBLE_EQ(saveButton()->opacity(), c.canSave ? 1.0 : 0.55);
        if (c.canSave) continue;
        // Neither a click nor the save step itself reports a blank pair; the form keeps its text.
        harness.click(saveButton());
        QMetaObject::invokeMethod(row(), "saveQuickDictionaryAdd");
        EXPECT_TRUE(callLog(harness).isEmpty());
        EXPECT_TRUE(formOpen());
        EXPECT_EQ(original(), c.original);
        EXPECT_EQ(replacement(), c.replacement);
    }
}

TEST_F(HistoryRowViewTest, CancelClosesWithoutSavingAndTheTranscriptFillsOnlyAnEmptyOriginal) {
    ASSERT_TRUE(harness.load(historyScene(QStringLiteral("   ")), {640, 420}));
    open();
    // A transcript of blanks is copied in as it is, and cannot be saved.
    EXPECT_EQ(original(), QStringLiteral("   "));
    retype(harness, QStringLiteral("quick-add-replacement"), QStringLiteral("x"));
    EXPECT_FALSE(saveButton()->isEnabled());

    retype(harness, QStringLiteral("quick-add-original"), QStringLiteral("term"));
    harness.click(harness.find(QStringLiteral("quick-add-cancel")));
    EXPECT_FALSE(formOpen());
    EXPECT_TRUE(callLog(harness).isEmpty());
    EXPECT_EQ(replacement(), QString());
    open();
    EXPECT_EQ(original(), QStringLiteral("term"));
}

TEST_F(HistoryRowViewTest, EmptyHistoryStateShowsItsMessageOnACardAlsoWhenEmpty) {
    for (const QString& message : {QString(), QStringLiteral("No dictations yet.")}) {
        ASSERT_TRUE(harness.load(
            QStringLiteral("EmptyHistoryState { objectName: 'empty'; width: 448; message: '%1' }").arg(message)));
        EXPECT_EQ(textOf(harness, QStringLiteral("empty-history-message")), message);
        EXPECT_GE(harness.find(QStringLiteral("empty"))->height(), 48);
    }
}

INSTANTIATE_TEST_SUITE_P(Light, HistoryRowThemes, ::testing::Values(Theme::Light), ThemeName());

}  // namespace
}  // namespace quorvelle::test
