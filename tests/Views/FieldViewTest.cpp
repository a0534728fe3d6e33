// The form and search fields: colours, sizes, and the owner's hold on the text.
#include "ViewHarness.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace quorvelle::test {
namespace {

// The owner keeps the texts; `accepting` decides whether it takes an edit.
const char* kFieldsScene = R"(
    Item {
        id: owner
        property string term: ""
        property string query: ""
        property bool accepting: true
        property var edits: []
        Column {
            x: 20; y: 20; width: 320; spacing: 16
            FormField {
                objectName: "form"; width: parent.width
                title: "ORIGINAL"; placeholder: "Spoken term"; text: owner.term
                onEdited: text => { owner.edits = owner.edits.concat([text]); if (owner.accepting) owner.term = text }
            }
            SearchField {
                objectName: "search"
                placeholder: "Search dictionary"; text: owner.query
                onEdited: text => { if (owner.accepting) owner.query = text }
            }
        }
    })";

class FieldViews : public ThemedSceneTest {
protected:
    void SetUp() override {
        root = loadScene(kFieldsScene, {380, 200});
        ASSERT_TRUE(root);
        formInput = item("form-field-input");
        searchInput = item("search-field-input");
        ASSERT_TRUE(formInput && searchInput);
    }

    void focusAndType(QQuickItem* input, const QString& text) {
        harness.click(input);
        ASSERT_TRUE(input->hasActiveFocus());
        harness.typeText(text);
    }

    QQuickItem* root = nullptr;
    QQuickItem* formInput = nullptr;
    QQuickItem* searchInput = nullptr;
};

TEST_P(FieldViews, EmptyFieldsShowCaptionPlaceholderAndTheInputColours) {
    shootInEveryTheme("fields-empty");
    EXPECT_TRUE(textsIn(harness.find("form")).contains(QStringLiteral("ORIGINAL")));
    EXPECT_EQ(formInput->property("placeholderText").toString(), QStringLiteral("Spoken term"));
    EXPECT_EQ(searchInput->property("placeholderText").toString(), QStringLiteral("Search dictionary"));
    EXPECT_EQ(formInput->width(), 320);
}

TEST_P(FieldViews, EveryKeystrokeHandsTheWholeTextToTheOwner) {
    focusAndType(formInput, QStringLiteral("Şık"));
    EXPECT_EQ(root->property("edits").toStringList(), (QStringList{"Ş", "Şı", "Şık"}));
    EXPECT_EQ(root->property("term").toString(), QStringLiteral("Şık"));
    EXPECT_EQ(formInput->property("text").toString(), QStringLiteral("Şık"));

    // Typing in the middle keeps the cursor where it was: the owner's echo does not move it.
    harness.pressKey(Qt::Key_Home);
    harness.typeText(QStringLiteral("X"));
    EXPECT_EQ(root->property("term").toString(), QStringLiteral("XŞık"));
    EXPECT_EQ(formInput->property("cursorPosition").toInt(), 1);
    shootInEveryTheme("fields-typed");
}

TEST_P(FieldViews, AnEditTheOwnerRefusesSnapsBack) {
    root->setProperty("term", QStringLiteral("kept"));
    root->setProperty("accepting", false);
    focusAndType(formInput, QStringLiteral("z"));
    EXPECT_EQ(root->property("edits").toStringList(), QStringList{"keptz"});
    EXPECT_EQ(formInput->property("text").toString(), QStringLiteral("kept"));

    // The binding survives the refusal: a later change from outside still shows.
    root->setProperty("term", QStringLiteral("loaded for editing"));
    EXPECT_EQ(formInput->property("text").toString(), QStringLiteral("loaded for editing"));
    root->setProperty("accepting", true);
    harness.typeText(QStringLiteral("!"));
    EXPECT_EQ(root->property("term").toString(), QStringLiteral("loaded for editing!"));
    // Cleared by the owner, the field shows nothing but its placeholder.
    root->setProperty("term", QString());
    EXPECT_TRUE(formInput->property("displayText").toString().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Quorvelle, FieldViews, ::testing::Values(Theme::Quorvelle), ThemeName());

}  // namespace
}  // namespace quorvelle::test
