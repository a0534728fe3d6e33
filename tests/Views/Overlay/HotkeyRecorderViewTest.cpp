// The hot-key recorder and the dashboard's capture sheet, on the view model built from fakes.
#include "../Dashboard/ViewModelScene.h"

#include "TestEventLoop.h"
#include "ViewModel/HotkeySelectionDecision.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPointer>
#include <QTest>
#include <algorithm>

namespace quorvelle::test {
namespace {

// A key press as X11 delivers it: Qt's key, the modifiers and the keysym as the native key.
void pressKey(QWindow* window, quint32 keysym, Qt::Key key, Qt::KeyboardModifiers modifiers = {},
              const QString& text = {}) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers, 0, keysym, 0, text);
        QCoreApplication::sendEvent(window, &event);
    }
}

class HotkeyRecorderTest : public ViewModelScene {
protected:
    void load(const char* qml) {
        ASSERT_TRUE(ViewModelScene::load(qml, {480, 200}));
        for (QQuickWindow* window : harness.root()->findChildren<QQuickWindow*>())
            EXPECT_TRUE(!window->isVisible() || QTest::qWaitForWindowExposed(window));
    }
    QQuickWindow* window(const char* name) { return harness.root()->findChild<QQuickWindow*>(name); }
    QQuickItem* in(QQuickWindow* window, const char* name) { return item(name, window->contentItem()); }
    void click(QQuickWindow* window, const char* name) {
        QQuickItem* item = in(window, name);
        QTest::mouseClick(window, Qt::LeftButton, {},
                          item->mapToScene({item->width() / 2, item->height() / 2}).toPoint());
    }
    // The recorder's refusals as the view model logged them.
    long unsupportedReports() const {
        return std::ranges::count(fakes.diagnostics->stored, QString("settings.hotkey.capture_unsupported"),
                                  &SanitizedDiagnosticsEvent::code);
    }
    HotkeyShortcut selectedHotkey() const { return viewModel->preferences()->selectedHotkey(); }
};

// The recorder in a window of its own (the popover's place) and a text field in the main window.
class RecorderTest : public HotkeyRecorderTest {
protected:
    void SetUp() override {
        load(R"(
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
                    FocusRing {}
                }
            })");
        popover = window("popover");
        ASSERT_TRUE(popover);
        recorder = in(popover, "recorder");
        field = harness.item("field");
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
        click(popover, "hotkey-capture-button");
        ASSERT_TRUE(capturing());
    }
    // Keys reach the field in the other window again, and nothing reached the view model.
    void expectTypingReachesTheFieldOnly() {
        const QString before = field->property("text").toString();
        pressKey(&harness.window(), 'x', Qt::Key_X, {}, "x");
        EXPECT_EQ(field->property("text").toString(), before + 'x');
        EXPECT_FALSE(viewModel->inlineMessage());
        EXPECT_EQ(unsupportedReports(), 0);
    }

    QQuickWindow* popover = nullptr;
    QQuickItem* recorder = nullptr;
    QQuickItem* field = nullptr;
};

TEST_F(RecorderTest, RecordsTheFirstChordAndRefusesKeysWithoutAName) {
    const std::tuple<const char*, quint32, Qt::Key, Qt::KeyboardModifiers, std::optional<HotkeyShortcut>> cases[] = {
        {"shift a", 0x41, Qt::Key_A, Qt::ShiftModifier, HotkeyShortcut{0, 0x200, "Shift + A"}},
        {"caps lock control alt r", 0x52, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier,
         HotkeyShortcut{15, 0x1800, "Control + Alt + R"}},
        {"shift tab", 0xfe20, Qt::Key_Backtab, Qt::ShiftModifier, HotkeyShortcut{48, 0x200, "Shift + Tab"}},
        {"synthesized, no keysym", 0, Qt::Key_R, Qt::ControlModifier, HotkeyShortcut{15, 0x1000, "Control + R"}},
        {"super return", 0xff0d, Qt::Key_Return, Qt::MetaModifier, HotkeyShortcut{36, 0x100, "Super + Return"}},
        {"control digit", 0x31, Qt::Key_1, Qt::ControlModifier, std::nullopt},
        {"plain letter", 0x61, Qt::Key_A, {}, std::nullopt},
    };
    for (const auto& [name, keysym, key, modifiers, expected] : cases) {
        SCOPED_TRACE(name);
        fakes.diagnostics->stored.clear();
        viewModel->context().setInlineMessage(std::nullopt);
        const HotkeyShortcut before = selectedHotkey();
        start();
        // A modifier alone is waited through; every press goes nowhere else while capturing.
        pressKey(&harness.window(), 0xffe3, Qt::Key_Control, Qt::ControlModifier);
        EXPECT_TRUE(capturing());
        pressKey(&harness.window(), keysym, key, modifiers, "k");
        EXPECT_FALSE(capturing());
        EXPECT_EQ(field->property("text").toString(), QString());
        EXPECT_EQ(unsupportedReports(), expected ? 0 : 1);
        // The view model answers for exactly this combination.
        const auto decision = expected ? HotkeySelectionDecision::decide(*expected, before, viewModel->strings())
                                       : HotkeySelectionDecision{};
        EXPECT_TRUE(!expected || viewModel->inlineMessageText() == decision.message);
        const bool applied = expected && decision.kind == HotkeySelectionDecision::Kind::apply;
        EXPECT_EQ(selectedHotkey().displayTitle, (applied ? *expected : before).displayTitle);
        EXPECT_EQ(selectedHotkey(), applied ? *expected : before);
    }
}

// Escape, a second tap, hiding the window or losing activation end a capture without a callback: a
// capture left running in a hidden popover must not take the next key typed in another window.
TEST_F(RecorderTest, EscapeASecondTapHidingOrLosingActivationCancelSilently) {
    EXPECT_EQ(text("hotkey-capture-status", popover->contentItem()), "Active: Control + Alt + Space");
    harness.shoot("recorder-idle");
    start();
    EXPECT_EQ(text("hotkey-capture-button", popover->contentItem()), "Cancel");
    pressKey(&harness.window(), 0xff1b, Qt::Key_Escape, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(capturing());
    start();
    click(popover, "hotkey-capture-button");
    EXPECT_FALSE(capturing());
    expectTypingReachesTheFieldOnly();

    start();
    popover->hide();
    EXPECT_FALSE(capturing());
    expectTypingReachesTheFieldOnly();

    popover->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popover));
    focusField();
    start();
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(capturing());
    expectTypingReachesTheFieldOnly();
}

// From the keyboard alone: Return starts a capture as Space does, and once the chord is taken the
// button keeps its focus ring, also after its window lost and regained activation on the way.
TEST_F(RecorderTest, ReturnStartsACaptureAndTheFocusRingStaysOnTheButtonAfterIt) {
    // Its own window takes the keyboard (a transient window counts as active with its parent's).
    const auto activate = [](QWindow* window) {
        window->requestActivate();
        return QTest::qWaitFor([=] { return QGuiApplication::focusWindow() == window; });
    };
    ASSERT_TRUE(activate(popover));
    QQuickItem* button = in(popover, "hotkey-capture-button");
    button->forceActiveFocus(Qt::TabFocusReason);
    ASSERT_TRUE(button->hasActiveFocus());
    pressKey(popover, 0xff0d, Qt::Key_Return);
    ASSERT_TRUE(capturing());
    pressKey(popover, 0x52, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier, "r");
    EXPECT_FALSE(capturing());
    EXPECT_EQ(selectedHotkey().displayTitle, "Control + Alt + R");
    ASSERT_TRUE(activate(&harness.window()));
    ASSERT_TRUE(activate(popover));
    ASSERT_TRUE(button->hasActiveFocus());
    QQuickItem* ring = in(popover, "focus-ring");
    EXPECT_EQ(ring->parentItem(), button);
    EXPECT_TRUE(ring->isVisible());
    // A click puts the mouse back in charge: no ring.
    click(popover, "hotkey-capture-button");
    click(popover, "hotkey-capture-button");
    EXPECT_FALSE(ring->isVisible());
}

TEST_F(HotkeyRecorderTest, CaptureSheetHandsTheShortcutOverAndRecordsAfreshEachOpening) {
    load(R"(
        Item {
            id: scene
            property bool showing: false
            HotkeyCaptureSheet {
                objectName: "sheet"; viewModel: vm
                isPresented: scene.showing
                onDismissRequested: scene.showing = false
            }
        })");
    QQuickWindow* sheet = window("sheet");
    ASSERT_TRUE(sheet);
    auto open = [&] {
        harness.root()->setProperty("showing", true);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
    };
    auto recording = [&] { return in(sheet, "capture-sheet-recorder")->property("isCapturing").toBool(); };

    open();
    // The keyboard starts on the recorder's button, which a screen reader reads as the sheet opens.
    sheet->requestActivate();
    EXPECT_TRUE(waitUntil([&] { return in(sheet, "hotkey-capture-button")->hasActiveFocus(); }));
    EXPECT_EQ(sheet->title(), "Capture Shortcut");
    sheet->grabWindow().save(ViewHarness::screenshotDir() + "/capture-sheet-en.png");
    click(sheet, "hotkey-capture-button");
    pressKey(sheet, 0x31, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(unsupportedReports(), 1);
    EXPECT_TRUE(sheet->isVisible());

    // Closing mid-capture, then opening again: a new recorder, not capturing.
    QPointer<QQuickItem> first = in(sheet, "capture-sheet-recorder");
    click(sheet, "hotkey-capture-button");
    ASSERT_TRUE(recording());
    click(sheet, "capture-sheet-close");
    EXPECT_FALSE(sheet->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    open();
    EXPECT_FALSE(recording());

    click(sheet, "hotkey-capture-button");
    pressKey(sheet, 0x72, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(selectedHotkey(), (HotkeyShortcut{15, 0x1800, {}}));
    EXPECT_FALSE(harness.root()->property("showing").toBool());
    EXPECT_FALSE(sheet->isVisible());
}

}  // namespace
}  // namespace quorvelle::test
