// The dashboard kit's cards, pills, badges, push buttons and form fields.
#include "ViewHarness.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace quorvelle::test {
namespace {

TEST(CardViews, ShowTheirTextsSymbolsAndColours) {
    ViewHarness harness;
    ASSERT_TRUE(harness.load(R"(
        Column {
            x: 20; y: 20; width: 600; spacing: 12
            PageHeaderCard {
                objectName: "header"; width: parent.width
                title: "Overview"; subtitle: "Usage and recent activity"; symbolName: "house"
                trailing: Component { Rectangle { objectName: "trailing"; implicitWidth: 60; implicitHeight: 24 } }
            }
            CompactInfoCard { objectName: "compact"; width: 200; eyebrow: "MODEL"; value: "Base" }
            InlineInfoBanner { objectName: "banner"; width: parent.width; message: "Saved." }
            InlineInfoBanner {
                objectName: "longBanner"; width: 300
                message: "A long message that cannot fit on one line of a narrow banner wraps onto the next lines."
            }
            Row {
                spacing: 12
                StatusPill { objectName: "status"; title: "Busy"; accent: "white"; background: Qt.rgba(1, 0, 0, 0.5) }
                MetadataPill { objectName: "pillWithSymbol"; title: "42 WORDS"; symbolName: "waveform" }
                MetadataPill { objectName: "pillPlain"; title: "42 WORDS" }
            }
            Row {
                spacing: 12
                AppIdentityBadge { objectName: "local"; label: "Quorvelle"; status: AppIdentityStatus.Local }
            }
        })",
                             {640, 760}));
    harness.shootInEveryTheme("cards");
    QQuickItem* header = harness.item("header");
    QQuickItem* banner = harness.item("banner");
    QQuickItem* status = harness.item("status");
    ASSERT_TRUE(header && banner && status);
    EXPECT_EQ(glyphsIn(header) + textsIn(header), (QStringList{"house", "Overview", "Usage and recent activity"}));
    EXPECT_EQ(harness.evaluate(harness.item("main-window-page-title"), "Accessible.name").toString(), "Overview");
    EXPECT_TRUE(harness.item("trailing")->isVisible());
    EXPECT_EQ(textsIn(harness.item("compact")), (QStringList{"MODEL", "Base"}));
    EXPECT_EQ(glyphsIn(banner) + textsIn(banner), (QStringList{"sparkles", "Saved."}));
    EXPECT_GT(harness.item("longBanner")->height(), banner->height() + 10);

    // A status pill keeps the caller's colours; a metadata pill shows a symbol only when given one.
    EXPECT_COLOR_NEAR(harness.colorAt(status, {status->width() / 2, 2}),
                      over(QColor(255, 0, 0, 128), harness.background()));
    EXPECT_EQ(glyphsIn(harness.item("pillWithSymbol")), QStringList{"waveform"});
    EXPECT_TRUE(glyphsIn(harness.item("pillPlain")).isEmpty());
    // The identity badge's dot takes its status's colour, over the badge's own fill.
    QQuickItem* badge = harness.item("local");
    const QColor fill = harness.colorAt(badge, {badge->width() - 14, badge->height() / 2});
    EXPECT_COLOR_NEAR(harness.colorAt(badge, {10, badge->height() / 2}), over(harness.colors().warmText, fill));
}

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
