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

// The model and language rows: what shows follows the state handed in, and each control calls its own
// action (the selection mark is no control).
TEST(SavedItemRowViewTest, ModelAndLanguageRowsShowTheirStateAndCallTheirOwnActions) {
    ViewHarness harness;
    const auto modelRow = [](bool installed, bool selected) {
        return loggedScene(QStringLiteral("ModelRow {\n"
                                          "  objectName: 'model'; width: 592; title: 'Base'; size: '142 MB'\n"
                                          "  subtitle: 'Balanced'; badge: %1; tags: ['Fast']; warningText: %1\n"
                                          "  isSelected: %2; primaryActionTitle: 'Select'; secondaryActionTitle: %3\n"
                                          "  primaryAction: function() { scene.note('primary') }\n"
                                          "  secondaryAction: function() { scene.note('secondary') }\n}\n")
                               .arg(installed ? QStringLiteral("'Needs 1 GB'") : QStringLiteral("null"),
                                    selected ? QStringLiteral("true") : QStringLiteral("false"),
                                    installed ? QStringLiteral("'Delete'") : QStringLiteral("null")));
    };
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "installed" : "not installed");
        ASSERT_TRUE(harness.load(modelRow(installed, installed), {640, 210}));
        harness.grab();
        EXPECT_EQ(shown(harness, QStringLiteral("model-badge")), installed);
        EXPECT_EQ(shown(harness, QStringLiteral("model-warning")), installed);
        EXPECT_EQ(shown(harness, QStringLiteral("model-glow")), installed);
        EXPECT_DOUBLE_EQ(harness.find(QStringLiteral("model-selection-dot"))->opacity(), installed ? 1 : 0);
        for (const char* part :
             {"model-primary-button", "model-selection-mark", "model-title", "model-secondary-button"}) {
            if (shown(harness, QString::fromLatin1(part))) harness.click(harness.find(QString::fromLatin1(part)));
        }
        EXPECT_EQ(callLog(harness), installed ? (QStringList{QStringLiteral("primary"), QStringLiteral("secondary")})
                                              : QStringList{QStringLiteral("primary")});
        harness.shoot(installed ? "kit2-model-row-selected" : "kit2-model-row-bare");
    }

    const auto languageRow = [](const char* code, const char* languageCode) {
        return loggedScene(QStringLiteral("TranscriptionLanguageRow {\n"
                                          "  objectName: 'language'; width: 448; isSelected: true\n"
                                          "  option: ({ code: %1, name: 'German' }); languageCode: '%2'\n"
                                          "  callback: function() { scene.note('pick|' + option.name) }\n}\n")
                               .arg(QString::fromLatin1(code), QString::fromLatin1(languageCode)));
    };
    ASSERT_TRUE(harness.load(languageRow("null", "tr"), {480, 100}));
    EXPECT_EQ(textOf(harness, QStringLiteral("language-detail")),
              QStringLiteral("Çok dilli konuşma için otomatik algılama kullan."));
    ASSERT_TRUE(harness.load(languageRow("'de'", "tr"), {480, 100}));
    EXPECT_EQ(textOf(harness, QStringLiteral("language-detail")), QStringLiteral("ISO-639-1 kodu: de"));
    EXPECT_TRUE(shown(harness, QStringLiteral("language-check")));
    harness.grab();
    QQuickItem* row = harness.find(QStringLiteral("language"));
    harness.click(row, {4, 4});
    harness.click(harness.find(QStringLiteral("language-check")));
    EXPECT_EQ(callLog(harness), QStringList(2, QStringLiteral("pick|German")));
    harness.shoot("kit2-language-row-selected");
}

}  // namespace
}  // namespace quorvelle::test
