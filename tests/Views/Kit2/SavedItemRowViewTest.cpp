#include "KitScene.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

const QString kCallbacks = QStringLiteral(
    "  editAction: function(id) { scene.note('edit|' + id) }\n"
    "  deleteAction: function(id) { scene.note('delete|' + id) }\n");

QString dictionaryRow(const QString& id, const QString& category, const QString& languageCode, int y = 16) {
    return QStringLiteral(
               "DictionaryEntryRow {\n"
               "  objectName: 'row-%1'; x: 16; y: %4; width: 608; languageCode: '%3'\n"
               "  entry: ({ id: '%1', original: 'cube control', replacement: 'kubectl',\n"
               "            category: '%2', updatedAt: new Date(2024, 2, 5, 12, 0) })\n")  // March
               .arg(id, category, languageCode)
               .arg(y) +
           kCallbacks + QStringLiteral("}\n");
}

QString snippetRow(const QString& id, const QString& expansion, const QString& languageCode, int y = 16) {
    return QStringLiteral(
               "SnippetRow {\n"
               "  objectName: 'row-%1'; x: 16; y: %4; width: 608; languageCode: '%3'\n"
               "  snippet: ({ id: '%1', phrase: 'sign off', expansion: '%2' })\n")
               .arg(id, expansion, languageCode)
               .arg(y) +
           kCallbacks + QStringLiteral("}\n");
}

QQuickItem* inRow(const ViewHarness& harness, const QString& row, const QString& child) {
    QQuickItem* item = harness.find(row);
    return item ? item->findChild<QQuickItem*>(child) : nullptr;
}

QString pillTitle(const ViewHarness& harness, const QString& name) {
    QQuickItem* pill = harness.find(name);
    return pill ? pill->property("title").toString() : QStringLiteral("<missing>");
}

using SavedItemRowThemes = KitThemedTest;

TEST_P(SavedItemRowThemes, RowsDrawOnTheInputSurface) {
    ASSERT_TRUE(loadThemed(
        loggedScene(dictionaryRow(QStringLiteral("D1"), QStringLiteral("Work"), QStringLiteral("en")) +
                    snippetRow(QStringLiteral("S1"), QStringLiteral("Best regards,\\nAda"), QStringLiteral("en"), 140)),
        {640, 230}));
    for (const QString& row : {QStringLiteral("row-D1"), QStringLiteral("row-S1")}) {
        SCOPED_TRACE(row.toStdString());
        EXPECT_COLOR_NEAR(fillOf(harness, item(row)), colors().inputBackground);
        EXPECT_COLOR_NEAR(borderOf(item(row)), colors().inputBorder);
        QQuickItem* deleteLabel =
            inRow(harness, row, QStringLiteral("delete-button"))->property("contentItem").value<QQuickItem*>();
        EXPECT_COLOR_NEAR(deleteLabel->property("color").value<QColor>(), colors().errorText);
    }
    EXPECT_EQ(textOf(harness, QStringLiteral("dictionary-pair")), QStringLiteral("cube control → kubectl"));
    EXPECT_EQ(textOf(harness, QStringLiteral("snippet-line")), QStringLiteral("sign off → Best regards, Ada"));
    shootKit("dictionary-and-snippet-rows");
}

INSTANTIATE_TEST_SUITE_P(Light, SavedItemRowThemes, ::testing::Values(Theme::Light), ThemeName());

TEST(SavedItemRowViewTest, DictionaryLabelsFollowTheCategoryAndTheInterfaceLanguage) {
    struct Case {
        const char* code;
        const char* category;
        const char* categoryLabel;
        const char* updatedLabel;
        const char* edit;
        const char* remove;
    };
    const Case cases[] = {
        {"en", "Work", "Work", "Updated 3/5/2024", "Edit", "Delete"},
        {"tr", "", "Kategorisiz", "Güncellendi 3/5/2024", "Düzenle", "Sil"},
        {"de", "", "Uncategorized", "Updated 3/5/2024", "Edit", "Delete"},
    };
    ViewHarness harness;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " '" + c.category + "'");
        ASSERT_TRUE(harness.load(loggedScene(dictionaryRow(QStringLiteral("D1"), QString::fromUtf8(c.category),
                                                           QString::fromLatin1(c.code))),
                                 {640, 120}));
        EXPECT_EQ(pillTitle(harness, QStringLiteral("dictionary-category")), QString::fromUtf8(c.categoryLabel));
        EXPECT_EQ(pillTitle(harness, QStringLiteral("dictionary-updated")), QString::fromUtf8(c.updatedLabel));
        EXPECT_EQ(harness.find(QStringLiteral("edit-button"))->property("title").toString(), QString::fromUtf8(c.edit));
        EXPECT_EQ(harness.find(QStringLiteral("delete-button"))->property("title").toString(),
                  QString::fromUtf8(c.remove));
    }
    harness.shoot("kit2-dictionary-row-uncategorized-de");
}

// The preview's own rules are tested with DashboardTexts; here the long line must stay one line high.
TEST(SavedItemRowViewTest, ALongSnippetLineEndsInAnEllipsisOnOneLine) {
    const QString ninetySix = QString(96, QLatin1Char('x'));
    ViewHarness harness;
    ASSERT_TRUE(harness.load(
        loggedScene(snippetRow(QStringLiteral("S1"), ninetySix + QStringLiteral("y"), QStringLiteral("en"))),
        {640, 100}));
    harness.grab();
    QQuickItem* line = harness.find(QStringLiteral("snippet-line"));
    EXPECT_EQ(line->property("text").toString(), QStringLiteral("sign off → ") + ninetySix + QStringLiteral("..."));
    EXPECT_TRUE(line->property("truncated").toBool());
    EXPECT_EQ(line->property("lineCount").toInt(), 1);
    harness.shoot("kit2-snippet-row-long");
}

TEST(SavedItemRowViewTest, EditAndDeleteSendTheIdOfTheirOwnRow) {
    ViewHarness harness;
    ASSERT_TRUE(
        harness.load(loggedScene(dictionaryRow(QStringLiteral("D1"), QString(), QStringLiteral("en")) +
                                 dictionaryRow(QStringLiteral("D2"), QString(), QStringLiteral("en"), 130) +
                                 snippetRow(QStringLiteral("S1"), QStringLiteral("x"), QStringLiteral("en"), 250) +
                                 snippetRow(QStringLiteral("S2"), QStringLiteral("y"), QStringLiteral("en"), 340)),
                     {640, 440}));
    harness.grab();
    harness.click(inRow(harness, QStringLiteral("row-D2"), QStringLiteral("edit-button")));
    harness.click(inRow(harness, QStringLiteral("row-D1"), QStringLiteral("delete-button")));
    harness.click(inRow(harness, QStringLiteral("row-S2"), QStringLiteral("delete-button")));
    harness.click(inRow(harness, QStringLiteral("row-S1"), QStringLiteral("edit-button")));
    // A click on the row's text is not a button.
    harness.click(harness.find(QStringLiteral("row-S1")), {30, 20});
    EXPECT_EQ(callLog(harness), (QStringList{QStringLiteral("edit|D2"), QStringLiteral("delete|D1"),
                                             QStringLiteral("delete|S2"), QStringLiteral("edit|S1")}));
}

TEST(SavedItemRowViewTest, TakesAnEntryHandedInFromCpp) {
    // How a page hands a stored entry over: a map with the record's own types.
    ViewHarness harness;
    const QUuid id = QUuid::createUuid();
    harness.engine().rootContext()->setContextProperty(
        QStringLiteral("storedEntry"),
        QVariantMap{{QStringLiteral("id"), id.toString(QUuid::WithoutBraces).toUpper()},
                    {QStringLiteral("original"), QStringLiteral("cube control")},
                    {QStringLiteral("replacement"), QStringLiteral("kubectl")},
                    {QStringLiteral("category"), QString()},
                    {QStringLiteral("updatedAt"), QDateTime(QDate(2024, 11, 9), QTime(12, 0), Qt::LocalTime)}});
    ASSERT_TRUE(harness.load(loggedScene(QStringLiteral("DictionaryEntryRow { width: 608; entry: storedEntry\n") +
                                         kCallbacks + QStringLiteral("}")),
                             {640, 120}));
    EXPECT_EQ(pillTitle(harness, QStringLiteral("dictionary-updated")), QStringLiteral("Updated 11/9/2024"));
    EXPECT_EQ(pillTitle(harness, QStringLiteral("dictionary-category")), QStringLiteral("Uncategorized"));
    harness.grab();
    harness.click(harness.find(QStringLiteral("delete-button")));
    EXPECT_EQ(callLog(harness), QStringList{QStringLiteral("delete|") + id.toString(QUuid::WithoutBraces).toUpper()});
}

}  // namespace
}  // namespace quorvelle::test
