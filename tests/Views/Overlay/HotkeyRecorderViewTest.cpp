// The hot-key recorder, the dashboard's capture sheet and the shortcut card, on the view model
// built from fakes.
#include "FakeKitViewModel.h"
#include "ViewHarness.h"

#include "ViewModel/HotkeySelectionDecision.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPointer>
#include <QQmlContext>
#include <QTest>

namespace quorvelle::test {
namespace {

const QString kUnsupported = QStringLiteral("Bu tuş kombinasyonu şimdilik desteklenmiyor.");

QQuickItem* findIn(QQuickItem* item, const QString& name) {
    if (item->objectName() == name) return item;
    for (QQuickItem* child : item->childItems()) {
        if (QQuickItem* found = findIn(child, name)) return found;
    }
    return nullptr;
}

// A key press as X11 delivers it: Qt's key, the modifiers and the keysym as the native key.
void pressKey(QWindow* window, quint32 keysym, Qt::Key key, Qt::KeyboardModifiers modifiers = {},
              const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, 0, keysym, 0, text);
    QCoreApplication::sendEvent(window, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, 0, keysym, 0, text);
    QCoreApplication::sendEvent(window, &release);
}

class HotkeyRecorderTest : public ::testing::Test {
protected:
    void load(const char* qml) {
        harness.engine().rootContext()->setContextProperty(QStringLiteral("vm"), &kit.vm);
        ASSERT_TRUE(harness.load(QString::fromUtf8(qml), {480, 200}));
        for (QQuickWindow* window : harness.root()->findChildren<QQuickWindow*>()) {
            if (window->isVisible()) {
                EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
            }
        }
    }
    QQuickWindow* window(const char* name) { return harness.root()->findChild<QQuickWindow*>(name); }
    QQuickItem* in(QQuickWindow* window, const char* name) {
        QQuickItem* found = findIn(window->contentItem(), QString::fromLatin1(name));
        EXPECT_TRUE(found) << "no item " << name;
        return found;
    }
    void click(QQuickWindow* window, QQuickItem* item) {
        const QPoint centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre);
    }
    QString text(QQuickWindow* window, const char* name) { return in(window, name)->property("text").toString(); }
    // The recorder's refusals as the view model logged them, oldest first.
    QStringList unsupportedReports() const {
        QStringList messages;
        for (const SanitizedDiagnosticsEvent& event : kit.fakes.diagnostics->stored) {
            if (event.code == QStringLiteral("settings.hotkey.capture_unsupported")) messages.prepend(event.message);
        }
        return messages;
    }
    // Nothing reached the view model: every hot-key operation says something.
    bool untouched() const { return !kit.vm.inlineMessage() && unsupportedReports().isEmpty(); }
    HotkeyShortcut selectedHotkey() const { return kit.vm.preferences()->selectedHotkey(); }

    FakeKitViewModel kit;
    ViewHarness harness;
};

// The recorder in a window of its own (the popover's place) and a text field in the main window.
const char* kRecorderScene = R"(
    Item {
        TextInput { objectName: "field"; width: 200; height: 24; focus: true }
        Window {
            objectName: "popover"; visible: true; width: 380; height: 90
            HotkeyCaptureButton {
                objectName: "recorder"; x: 10; y: 10
                strings: vm.strings
                currentTitle: vm.preferences.selectedHotkey.displayTitle
                onCapture: shortcut => vm.preferences.setHotkey(shortcut)
                onFailure: message => vm.preferences.reportHotkeyCaptureUnsupported(message)
            }
        }
    })";

class RecorderTest : public HotkeyRecorderTest {
protected:
    void SetUp() override {
        load(kRecorderScene);
        popover = window("popover");
        ASSERT_TRUE(popover);
        recorder = in(popover, "recorder");
        field = harness.find(QStringLiteral("field"));
        ASSERT_TRUE(recorder && field);
        focusField();
    }
    // The field's window has the keyboard: without capture, typing lands in the field.
    void focusField() {
        harness.window().requestActivate();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&harness.window()));
        harness.click(field);
        ASSERT_TRUE(field->hasActiveFocus());
    }
    bool capturing() const { return recorder->property("isCapturing").toBool(); }
    void start() {
        click(popover, in(popover, "hotkey-capture-button"));
        ASSERT_TRUE(capturing());
    }
    // Keys reach the field in the other window again.
    void expectTypingReachesTheField() {
        const QString before = field->property("text").toString();
        pressKey(&harness.window(), 'x', Qt::Key_X, {}, QStringLiteral("x"));
        EXPECT_EQ(field->property("text").toString(), before + QLatin1Char('x'));
    }

    QQuickWindow* popover = nullptr;
    QQuickItem* recorder = nullptr;
    QQuickItem* field = nullptr;
};

TEST_F(RecorderTest, RecordsTheFirstChordAndRefusesKeysWithoutAName) {
    const struct {
        const char* name;
        quint32 keysym;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::optional<HotkeyShortcut> expected;
    } cases[] = {
        {"control alt space", 0x20, Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier,
         HotkeyShortcut{49, 0x1800, "Control + Alt + Space"}},
        {"shift a", 0x41, Qt::Key_A, Qt::ShiftModifier, HotkeyShortcut{0, 0x200, "Shift + A"}},
        {"caps lock control alt r", 0x52, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier,
         HotkeyShortcut{15, 0x1800, "Control + Alt + R"}},
        {"shift tab", 0xfe20, Qt::Key_Backtab, Qt::ShiftModifier, HotkeyShortcut{48, 0x200, "Shift + Tab"}},
        {"synthesized, no keysym", 0, Qt::Key_R, Qt::ControlModifier, HotkeyShortcut{15, 0x1000, "Control + R"}},
        {"super return", 0xff0d, Qt::Key_Return, Qt::MetaModifier, HotkeyShortcut{36, 0x100, "Super + Return"}},
        {"control digit", 0x31, Qt::Key_1, Qt::ControlModifier, std::nullopt},
        {"alt arrow", 0xff51, Qt::Key_Left, Qt::AltModifier, std::nullopt},
        {"plain letter", 0x61, Qt::Key_A, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kit.vm.context().setInlineMessage(std::nullopt);
        kit.fakes.diagnostics->stored.clear();
        const HotkeyShortcut before = selectedHotkey();
        start();
        EXPECT_EQ(text(popover, "hotkey-capture-status"), QStringLiteral("Press the new combination now."));
        // A modifier alone is waited through; every press goes nowhere else while capturing.
        pressKey(&harness.window(), 0xffe3, Qt::Key_Control, Qt::ControlModifier);
        EXPECT_TRUE(capturing());
        pressKey(&harness.window(), c.keysym, c.key, c.modifiers, QStringLiteral("k"));
        EXPECT_FALSE(capturing());
        EXPECT_EQ(field->property("text").toString(), QString());
        if (c.expected) {
            // The view model answers for exactly this combination.
            const auto decision = HotkeySelectionDecision::decide(*c.expected, before, kit.vm.strings());
            EXPECT_EQ(kit.vm.inlineMessageText(), decision.message);
            const bool applied = decision.kind == HotkeySelectionDecision::Kind::apply;
            EXPECT_EQ(selectedHotkey(), applied ? *c.expected : before);
            EXPECT_EQ(selectedHotkey().displayTitle, (applied ? *c.expected : before).displayTitle);
            EXPECT_TRUE(unsupportedReports().isEmpty());
        } else {
            EXPECT_EQ(selectedHotkey(), before);
            EXPECT_EQ(unsupportedReports(), QStringList{kUnsupported});
        }
    }
    expectTypingReachesTheField();
}

TEST_F(RecorderTest, EscapeAndASecondTapCancelWithoutACallback) {
    EXPECT_EQ(text(popover, "hotkey-capture-button"), QStringLiteral("Record new hotkey"));
    EXPECT_EQ(text(popover, "hotkey-capture-status"), QStringLiteral("Active: Control + Alt + Space"));
    EXPECT_EQ(text(popover, "hotkey-capture-hint"), QStringLiteral("Press Escape to cancel capture."));
    harness.shoot("recorder-idle");
    start();
    EXPECT_EQ(text(popover, "hotkey-capture-button"), QStringLiteral("Cancel"));
    pressKey(&harness.window(), 0xff1b, Qt::Key_Escape, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(capturing());
    start();
    click(popover, in(popover, "hotkey-capture-button"));
    EXPECT_FALSE(capturing());
    EXPECT_TRUE(untouched());

    kit.vm.preferences()->setAppLanguage(AppLanguageOption::turkish);
    EXPECT_EQ(text(popover, "hotkey-capture-status"), QStringLiteral("Aktif: Control + Alt + Space"));
    start();
    EXPECT_EQ(text(popover, "hotkey-capture-button"), QStringLiteral("İptal"));
    EXPECT_EQ(text(popover, "hotkey-capture-hint"), QStringLiteral("Escape ile yakalamayı iptal edebilirsin."));
}

// A capture left running in a hidden popover must not take the next key typed in another window.
TEST_F(RecorderTest, HidingTheWindowOrLosingActivationEndsCaptureSilently) {
    start();
    popover->hide();
    EXPECT_FALSE(capturing());
    expectTypingReachesTheField();

    popover->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popover));
    focusField();
    start();
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(capturing());
    expectTypingReachesTheField();
    EXPECT_TRUE(untouched());
}

const char* kSheetScene = R"(
    Item {
        id: scene
        property bool showing: false
        HotkeyCaptureSheet {
            objectName: "sheet"; viewModel: vm
            isPresented: scene.showing
            onDismissRequested: scene.showing = false
        }
    })";

TEST_F(HotkeyRecorderTest, CaptureSheetHandsTheShortcutOverAndRecordsAfreshEachOpening) {
    load(kSheetScene);
    QQuickWindow* sheet = window("sheet");
    ASSERT_TRUE(sheet);
    auto open = [&] {
        harness.root()->setProperty("showing", true);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
    };
    auto recording = [&] { return in(sheet, "capture-sheet-recorder")->property("isCapturing").toBool(); };

    open();
    EXPECT_EQ(text(sheet, "capture-sheet-title"), QStringLiteral("Capture Shortcut"));
    sheet->grabWindow().save(ViewHarness::screenshotDir() + QStringLiteral("/capture-sheet-en.png"));
    click(sheet, in(sheet, "hotkey-capture-button"));
    pressKey(sheet, 0x31, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(unsupportedReports(), QStringList{kUnsupported});
    EXPECT_TRUE(sheet->isVisible());

    // Closing mid-capture, then opening again: a new recorder, not capturing.
    QPointer<QQuickItem> first = in(sheet, "capture-sheet-recorder");
    click(sheet, in(sheet, "hotkey-capture-button"));
    ASSERT_TRUE(recording());
    click(sheet, in(sheet, "capture-sheet-close"));
    EXPECT_FALSE(sheet->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    open();
    EXPECT_FALSE(recording());
    EXPECT_EQ(selectedHotkey(), HotkeyShortcut::suggestions().first());
    EXPECT_EQ(unsupportedReports(), QStringList{kUnsupported});

    click(sheet, in(sheet, "hotkey-capture-button"));
    pressKey(sheet, 0x72, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(selectedHotkey(), (HotkeyShortcut{15, 0x1800, {}}));
    EXPECT_FALSE(harness.root()->property("showing").toBool());
    EXPECT_FALSE(sheet->isVisible());

    kit.vm.preferences()->setAppLanguage(AppLanguageOption::turkish);
    open();
    EXPECT_EQ(text(sheet, "capture-sheet-title"), QStringLiteral("Kısayol Yakala"));
    EXPECT_EQ(text(sheet, "capture-sheet-close"), QStringLiteral("Kapat"));
    sheet->grabWindow().save(ViewHarness::screenshotDir() + QStringLiteral("/capture-sheet-tr.png"));
}

class ShortcutCardTest : public ThemedSceneTest {};

TEST_P(ShortcutCardTest, ShowsTheValueAndOnlyTheItemsItIsGiven) {
    ASSERT_TRUE(loadScene(R"(
        Column {
            x: 20; y: 20; width: 600; spacing: 12
            ShortcutCard {
                objectName: "full"; width: parent.width; symbolName: "command"
                title: "Dictation shortcut"; subtitle: "Hold to talk"; value: "Control + Alt + Space"
                trailingStatus: "Active"; primaryButtonTitle: "Change"; primaryAction: () => recorder.record("change")
                secondaryButtonTitle: "Reset"; secondaryAction: () => recorder.record("reset")
            }
            ShortcutCard {
                objectName: "placeholder"; width: parent.width; symbolName: "command"; title: "Shortcut"
                value: "Not configured"; primaryButtonTitle: "Set"; secondaryButtonTitle: "Reset"
            }
            ShortcutCard {
                objectName: "long"; width: parent.width; symbolName: "command"; title: "Shortcut"
                value: "not configured " + "Control + Alt + Shift + Super + Space ".repeat(4)
                primaryButtonTitle: "Set"; secondaryAction: () => recorder.record("never")
            }
        })",
                          {640, 420}, "shortcut-cards"));
    const auto part = [&](const char* card, const char* name) { return findIn(item(card), QString::fromLatin1(name)); };
    EXPECT_TRUE(part("full", "shortcut-status")->isVisible());
    EXPECT_TRUE(part("full", "shortcut-secondary")->isVisible());
    for (const char* card : {"placeholder", "long"}) {
        EXPECT_FALSE(part(card, "shortcut-status")->isVisible()) << card;
        EXPECT_FALSE(part(card, "shortcut-secondary")->isVisible()) << card;
        EXPECT_EQ(part(card, "shortcut-value")->height(), 38) << card;
        // Only the exact placeholder is italic and muted.
        QQuickItem* value = part(card, "shortcut-value-text");
        const bool placeholder = card == std::string("placeholder");
        EXPECT_EQ(value->property("font").value<QFont>().italic(), placeholder) << card;
        EXPECT_COLOR_NEAR(value->property("color").value<QColor>(),
                          placeholder ? colors().secondaryText : colors().primaryText);
    }
    EXPECT_COLOR_NEAR(harness.colorAt(part("full", "shortcut-primary"), {4, 19}),
                      over(colors().primaryButtonFill, colors().cardFill));
    harness.click(part("full", "shortcut-primary"));
    harness.click(part("full", "shortcut-secondary"));
    EXPECT_EQ(harness.recorder().count("change"), 1);
    EXPECT_EQ(harness.recorder().count("reset"), 1);
}

INSTANTIATE_TEST_SUITE_P(Themes, ShortcutCardTest, ::testing::ValuesIn(kAllThemes), ThemeName());

}  // namespace
}  // namespace quorvelle::test
