// The cards one picks an option or switches a feature with: appearance, theme and language options,
// recording-mode options and mode cards, and the toggle card.
#include "ViewHarness.h"

#include "Views/Dashboard/Components/DesktopThemePalette.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

// Each kind's own fields; %1 is isSelected.
const std::pair<const char*, const char*> kCards[] = {
    {"appearance-option",
     "AppearanceOptionCard { title: 'Current widget'; subtitle: 'The pill with status and levels.'; "
     "preview: 'currentWidget'; isSelected: %1"},
    {"theme-option",
     "ThemeOptionCard { title: 'Light'; subtitle: 'Bright.'; palette: DesktopTheme.lightPalette; "
     "isSelected: %1"},
    {"language-option", "AppLanguageOptionCard { language: 'turkish'; languageCode: 'tr'; isSelected: %1"},
};

TEST(OptionCardViews, SelectedCardsFillGlowAndCarryTheCheckAndAClickAnywhereCallsTheAction) {
    ViewHarness harness;
    harness.setTheme(Theme::Quorvelle);
    for (const auto& [name, qml] : kCards) {
        for (const bool selected : {false, true}) {
            SCOPED_TRACE(std::string(name) + (selected ? " selected" : ""));
            ASSERT_TRUE(harness.load(loggedScene(QString::fromUtf8(qml).arg(selected ? "true" : "false") +
                                                 "\n  objectName: 'card'; x: 24; y: 24; width: 260\n"
                                                 "  callback: () => scene.note('pick') }"),
                                     {308, 300}));
            harness.grab();
            EXPECT_EQ(harness.shows("option-card-glow"), selected);
            EXPECT_EQ(harness.shows("option-card-check"), selected);
            EXPECT_EQ(harness.shows("idle-pill-miniature"), name == std::string("appearance-option"));
            if (QQuickItem* miniature = harness.find("theme-miniature")) {
                // The theme card draws its own palette, not the active theme's.
                EXPECT_COLOR_NEAR(harness.colorAt(miniature, {miniature->width() - 4, miniature->height() / 2}),
                                  DesktopThemePalette::light().background);
            }
            // The language card's texts are in the interface language.
            EXPECT_TRUE(!harness.find("language-badge") || harness.text("option-title") == "Türkçe");
            harness.shootInEveryTheme("kit2-" + std::string(name) + (selected ? "-selected" : ""));
        }
        QQuickItem* card = harness.item("card");
        for (const char* part : {"option-card-check", "option-title", "option-subtitle"})
            harness.click(harness.item(part));
        harness.click(card, {card->width() / 2, card->height() / 2});
        EXPECT_EQ(harness.log(), QStringList(4, "pick")) << name;
    }
}

const QString kShort = QStringLiteral("Hold the shortcut while you speak.");

QString modeCardScene(bool selected, bool disabled, const QString& subtitle = kShort,
                      const QString& tags = QStringLiteral("'Private', 'Offline'")) {
    return loggedScene(QStringLiteral("ModeSelectionCard {\n"
                                      "  objectName: 'card'; x: 24; y: 24; width: 300\n"
                                      "  title: 'Local'; subtitle: '%1'; tags: [%2]; symbolName: 'waveform'\n"
                                      "  isSelected: %3; isDisabled: %4\n"
                                      "  callback: function() { scene.note('card') }\n}\n")
                           .arg(subtitle, tags, selected ? "true" : "false", disabled ? "true" : "false"));
}

// A click anywhere on the surface, its texts and marks included, is the option's action; a disabled
// card takes none. Long texts and many tags never enlarge a card.
TEST(ModeOptionViews, SelectionAndDisablingChangeTheLookButMoveNothingAndAClickAnywhereActs) {
    ViewHarness harness;
    harness.setTheme(Theme::Quorvelle);
    const auto clickAround = [&](const char* root, const QStringList& parts) {
        harness.grab();
        QQuickItem* surface = harness.item(root);
        harness.click(surface, {surface->width() / 2, 26});  // the blank beside the title or tile
        for (const QString& part : parts)
            harness.click(harness.item(part));
        harness.click(surface, {surface->width() - 4, surface->height() - 4});
        return harness.log();
    };
    QPointF ringPlace;
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected" : "not selected");
        ASSERT_TRUE(harness.load(loggedScene(QStringLiteral("RecordingModeOptionButton {\n"
                                                            "  objectName: 'option'; x: 16; y: 16; width: 448\n"
                                                            "  title: 'Push to talk'; subtitle: '%1'; isSelected: %2\n"
                                                            "  callback: function() { scene.note('option') }\n}\n")
                                                 .arg(kShort, selected ? "true" : "false")),
                                 {480, 140}));
        EXPECT_DOUBLE_EQ(harness.item("selection-dot")->opacity(), selected ? 1 : 0);
        const QPointF place = harness.item("selection-ring")->mapToScene({0, 0});
        if (!selected) ringPlace = place;
        EXPECT_EQ(place, ringPlace);
        harness.shootInEveryTheme(selected ? "kit2-recording-mode-option-selected" : "kit2-recording-mode-option");
        EXPECT_EQ(clickAround("option", {"option-subtitle", "selection-ring"}), QStringList(4, "option"));
        for (const bool disabled : {false, true}) {
            ASSERT_TRUE(harness.load(modeCardScene(selected, disabled), {348, 204}));
            EXPECT_DOUBLE_EQ(harness.item("card")->opacity(), disabled ? 0.92 : 1.0);
            EXPECT_EQ(harness.shows("mode-check"), selected);
            EXPECT_EQ(harness.shows("mode-card-glow"), selected);
            harness.shootInEveryTheme(std::string("kit2-mode-card") + (selected ? "-selected" : "") +
                                      (disabled ? "-disabled" : ""));
            const QStringList parts = selected ? QStringList{"mode-symbol-tile", "mode-check"} : QStringList{};
            EXPECT_EQ(clickAround("card", parts), disabled ? QStringList() : QStringList(parts.size() + 2, "card"));
        }
    }
    ASSERT_TRUE(harness.load(modeCardScene(true, false, (kShort + ' ').repeated(12),
                                           "'Private', 'Offline', 'No account', 'Any language', 'Slow'"),
                             {348, 204}));
    harness.grab();
    QQuickItem* card = harness.item("card");
    QQuickItem* subtitle = harness.item("option-subtitle");
    EXPECT_DOUBLE_EQ(card->height(), 156);
    EXPECT_TRUE(subtitle->property("truncated").toBool());
    EXPECT_EQ(subtitle->property("lineCount").toInt(), 1);
    QQuickItem* tags = harness.item("mode-tags");
    EXPECT_LE(tags->mapToItem(card, {0, tags->height()}).y(), card->height());
    harness.shoot("kit2-mode-card-crowded");
}

// The page's side owns the value and may refuse a change.
TEST(ToggleCardViews, OnlyTheSwitchWritesTheInvertedValueAndTheKnobShowsTheOwnersValue) {
    ViewHarness harness;
    harness.setTheme(Theme::Quorvelle);
    ASSERT_TRUE(harness.load(loggedScene(R"(
        property bool value: false
        property bool accepts: true
        ToggleFeatureCard {
            objectName: "toggle"; x: 16; y: 16; width: 448; title: "Clipboard fallback"
            subtitle: "Paste through the clipboard when a field refuses direct insertion."
            isOn: scene.value
            onEdited: isOn => { scene.note("set|" + isOn); if (scene.accepts) scene.value = isOn }
        })"),
                             {480, 130}));
    QQuickItem* card = harness.item("toggle");
    QQuickItem* track = harness.item("toggle-track");
    QQuickItem* knob = harness.item("toggle-knob");
    QQuickItem* toggle = harness.item("toggle-switch");
    harness.click(harness.item("toggle-title"));
    harness.click(harness.item("toggle-subtitle"));
    harness.click(card, {card->width() - 6, 6});
    EXPECT_TRUE(harness.log().isEmpty());
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on ? "on" : "off");
        if (on) harness.click(toggle);
        EXPECT_EQ(harness.root()->property("value").toBool(), on);
        harness.grab();
        EXPECT_EQ(knob->mapToItem(track, {0, 0}), QPointF(on ? 18 : 2, 2));
        harness.shootInEveryTheme(on ? "kit2-toggle-card-on" : "kit2-toggle-card-off");
    }
    // A refused change leaves the knob where it was.
    harness.root()->setProperty("accepts", false);
    harness.click(toggle);
    harness.click(toggle);
    EXPECT_EQ(harness.log(), (QStringList{"set|true", "set|false", "set|false"}));
    harness.grab();
    EXPECT_DOUBLE_EQ(knob->x(), 18);
    EXPECT_TRUE(card->property("isOn").toBool());
}

}  // namespace
}  // namespace quorvelle::test
