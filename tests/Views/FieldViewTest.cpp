// The form and search fields: the owner's hold on the text.
#include "ViewHarness.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

// The owner keeps the text; `accepting` decides whether it takes an edit.
TEST(FieldViews, EveryKeystrokeHandsTheWholeTextToTheOwnerAndARefusedEditSnapsBack) {
    ViewHarness harness;
    harness.setTheme(Theme::Quorvelle);
    QQuickItem* owner = harness.load(R"(
        Column {
            property string term: ""
            property bool accepting: true
            property var edits: []
            x: 20; y: 20; width: 320; spacing: 16
            FormField {
                objectName: "form"; width: parent.width
                title: "ORIGINAL"; placeholder: "Spoken term"; text: parent.term
                onEdited: text => { parent.edits = parent.edits.concat([text]); if (parent.accepting) parent.term = text }
            }
            SearchField { placeholder: "Search dictionary" }
        })",
                                     {380, 200});
    ASSERT_TRUE(owner);
    harness.shootInEveryTheme("fields-empty");
    QQuickItem* input = harness.item("form-field-input");
    ASSERT_TRUE(input);
    harness.click(input);
    ASSERT_TRUE(input->hasActiveFocus());
    harness.typeText("Şık");
    EXPECT_EQ(owner->property("edits").toStringList(), (QStringList{"Ş", "Şı", "Şık"}));
    EXPECT_EQ(input->property("text").toString(), "Şık");
    // Typing in the middle keeps the cursor where it was: the owner's echo does not move it.
    harness.pressKey(Qt::Key_Home);
    harness.typeText("X");
    EXPECT_EQ(owner->property("term").toString(), "XŞık");
    EXPECT_EQ(input->property("cursorPosition").toInt(), 1);
    harness.shootInEveryTheme("fields-typed");

    owner->setProperty("accepting", false);
    harness.typeText("z");
    EXPECT_EQ(owner->property("edits").toStringList().last(), "XzŞık");
    EXPECT_EQ(input->property("text").toString(), "XŞık");
    // The binding survives the refusal: a later change from outside still shows.
    owner->setProperty("term", "loaded for editing");
    EXPECT_EQ(input->property("text").toString(), "loaded for editing");
    owner->setProperty("accepting", true);
    harness.pressKey(Qt::Key_End);
    harness.typeText("!");
    EXPECT_EQ(owner->property("term").toString(), "loaded for editing!");
    // Cleared by the owner, the field shows nothing but its placeholder.
    owner->setProperty("term", QString());
    EXPECT_TRUE(input->property("displayText").toString().isEmpty());
}

}  // namespace
}  // namespace quorvelle::test
