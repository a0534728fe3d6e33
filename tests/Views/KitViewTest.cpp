// The dashboard kit's push buttons and form fields. Its cards and pills are read on the pages.
#include "ViewHarness.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace quorvelle::test {
namespace {

TEST(ButtonViews, EachShowsItsTitleAndSymbolAndAClickCallsItsActionOnceUnlessDisabled) {
    ViewHarness harness;
    ASSERT_TRUE(harness.load(loggedScene(R"(
        Flow {
            x: 20; y: 20; width: 520; spacing: 10
            SecondaryActionButton { objectName: "secondary"; title: "Edit"; symbolName: "pencil"; callback: () => scene.note(objectName) }
            PrimaryActionButton { objectName: "primary"; title: "Download"; symbolName: "arrow.down.circle"; callback: () => scene.note(objectName) }
            DangerActionButton { objectName: "danger"; title: "Delete"; symbolName: "trash"; callback: () => scene.note(objectName) }
            IconSquareButton { objectName: "square"; symbolName: "document.badge.plus"; callback: () => scene.note(objectName) }
            HeaderSecondaryButton { objectName: "headerSecondary"; title: "Export CSV"; symbolName: "doc.on.doc"; callback: () => scene.note(objectName) }
            HeaderDangerButton { objectName: "headerDanger"; title: "Clear"; callback: () => scene.note(objectName) }
            HeaderGhostButton { objectName: "ghost"; title: "Release notes"; symbolName: "sparkles"; callback: () => scene.note(objectName) }
            HeaderSecondaryButton { objectName: "disabledSecondary"; title: "Export CSV"; isDisabled: true; callback: () => scene.note(objectName) }
            HeaderDangerButton { objectName: "disabledDanger"; title: "Clear"; isDisabled: true; callback: () => scene.note(objectName) }
            WideBlackButton { objectName: "wide"; width: 300; title: "Link this device"; symbolName: "arrow.up.circle"; callback: () => scene.note(objectName) }
        })"),
                             {560, 230}));
    harness.shootInEveryTheme("buttons");
    QStringList called;
    for (QQuickItem* button : harness.root()->childItems().first()->childItems()) {
        const QString name = button->objectName();
        SCOPED_TRACE(name.toStdString());
        const QStringList given{button->property("title").toString(), button->property("symbolName").toString()};
        EXPECT_EQ(textsIn(button) + glyphsIn(button), given.filter(QRegularExpression(".")));
        harness.click(button);
        const bool disabled = name.startsWith("disabled");
        if (!disabled) called << name;
        EXPECT_EQ(harness.log(), called);
        EXPECT_DOUBLE_EQ(button->opacity(), disabled ? 0.45 : 1.0);
    }
    EXPECT_EQ(called.size(), 8);
    // The ghost button has no padding, fill or border: only the symbol and the text.
    EXPECT_FALSE(harness.item("ghost")->property("background").value<QQuickItem*>());
}

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
