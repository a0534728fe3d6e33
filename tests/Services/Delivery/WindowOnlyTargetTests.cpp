// Windows whose application has no accessibility tree: what the inspector makes of them and how
// the delivery rules treat the result.
#include "Services/Delivery/AXFocusedElementReader.h"
#include "Services/Delivery/AccessibilityTextInserter.h"
#include "Services/Delivery/AppScopedTextInsertionStrategyResolver.h"
#include "Services/Delivery/CommandVSyntheticPastePerformer.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "Services/Delivery/FocusedTargetInspector.h"

#include "DeliveryFakes.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FakeTree;

FocusedTargetSnapshot inspectWindowOf(FakeTree& tree, const FocusedAppMetadata& app) {
    AXFocusedElementReader reader(tree);
    FocusedTargetInspector inspector([] { return true; }, [&] { return std::optional(app); }, reader);
    return inspector.inspect();
}

TEST(WindowOnlyTarget, AnApplicationWithoutATreeIsDescribedByItsWindow) {
    FakeTree tree;
    tree.applicationPresent = false;
    const FocusedAppMetadata app{u"QtTextFieldFixture"_qs, u"qttextfieldfixture"_qs, 4321};
    const FocusedTargetSnapshot target = inspectWindowOf(tree, app);

    EXPECT_TRUE(target.isWindowOnly);
    EXPECT_EQ(target.app, app);
    EXPECT_EQ(target.elementHandle, nullptr);
    EXPECT_EQ(target.element.role, u"AXUnknown"_qs);
    EXPECT_TRUE(target.element.isEnabled);
    EXPECT_FALSE(target.element.isEditable);
    EXPECT_FALSE(target.element.isSecure());
    // Not writable, but a paste candidate: the recording may start when the clipboard is allowed.
    EXPECT_EQ(target.blockReason(), SessionBlockReason::noWritableTarget);
    EXPECT_TRUE(target.isClipboardPasteCandidate());
    EXPECT_EQ(AppScopedTextInsertionStrategyResolver().resolve(target), TextInsertionStrategy::clipboardPaste);

    // Nothing can be read back: not verifiable, and the element is never asked.
    test::FakeTextElement element;
    element.value = u"pasted words"_qs;
    AccessibilityTextInserter inserter(element);
    EXPECT_EQ(inserter.verifyInsertion(u"pasted words"_qs, target), std::nullopt);
    EXPECT_TRUE(element.calls.isEmpty());

    // An application that has a tree but shows no focus stays an error.
    FakeTree empty;
    try {
        inspectWindowOf(empty, app);
        ADD_FAILURE() << "an empty tree gave a snapshot";
    } catch (const FocusedTargetInspectionError& error) {
        EXPECT_EQ(error.errorCase(), FocusedTargetInspectionError::Case::focusedElementUnavailable);
    }
}

TEST(WindowOnlyTarget, WindowClassesDecideTerminalChordAndPasswordPrompts) {
    constexpr quint32 kControl = 37, kShift = 50, kV = 55, kInsert = 118;
    using Chord = QList<QPair<quint32, bool>>;
    const Chord controlV{{kControl, true}, {kV, true}, {kV, false}, {kControl, false}};
    const Chord controlShiftV{{kControl, true}, {kShift, true},  {kV, true},
                              {kV, false},      {kShift, false}, {kControl, false}};
    const Chord shiftInsert{{kShift, true}, {kInsert, true}, {kInsert, false}, {kShift, false}};
    struct ClassCase {
        const char* instance;
        const char* windowClass;
        bool terminal;
        bool secure;
        Chord chord;
    };
    const ClassCase cases[] = {
        {"Alacritty", "Alacritty", true, false, controlShiftV},
        {"kitty", "kitty", true, false, controlShiftV},
        {"xterm", "XTerm", true, false, shiftInsert},
        {"uxterm", "UXTerm", true, false, shiftInsert},
        {"urxvt", "URxvt", true, false, controlShiftV},
        {"st-256color", "St", true, false, controlShiftV},
        {"foot", "foot", true, false, controlShiftV},
        {"gnome-terminal-server", "Gnome-terminal", true, false, controlShiftV},
        // "st" names the terminal only as a whole class, never inside another name.
        {"stellarium", "Stellarium", false, false, controlV},
        {"qttextfieldfixture", "QtTextFieldFixture", false, false, controlV},
        {"pinentry-gtk-2", "Pinentry-gtk-2", false, true, {}},
        {"pinentry-qt", "pinentry-qt", false, true, {}},
        {"ssh-askpass", "Ssh-askpass", false, true, {}},
        {"ksshaskpass", "ksshaskpass", false, true, {}},
        {"polkit-gnome-authentication-agent-1", "Polkit-gnome-authentication-agent-1", false, true, {}},
        {"lxqt-policykit-agent", "lxqt-policykit-agent", false, true, {}},
    };
    for (const ClassCase& c : cases) {
        FakeTree tree;
        tree.applicationPresent = false;
        const FocusedAppMetadata app{QString::fromUtf8(c.windowClass), QString::fromUtf8(c.instance), 77};
        const FocusedTargetSnapshot target = inspectWindowOf(tree, app);
        EXPECT_EQ(target.terminalLikeReason().has_value(), c.terminal) << c.windowClass;
        EXPECT_EQ(target.blockReason() == SessionBlockReason::secureField, c.secure) << c.windowClass;
        EXPECT_EQ(target.isClipboardPasteCandidate(), !c.secure) << c.windowClass;
        if (c.secure) continue;

        test::FakeKeyPoster keys;
        CommandVSyntheticPastePerformer performer(keys, [] { return std::optional<qint32>(77); }, {});
        performer.performPaste(target);
        EXPECT_EQ(keys.posted, c.chord) << c.windowClass;
    }

    // A readable element in a terminal's window still follows the element rule.
    FocusedTargetSnapshot label;
    label.app = FocusedAppMetadata{u"XTerm"_qs, u"xterm"_qs, 77};
    label.element.role = u"AXStaticText"_qs;
    label.element.isEnabled = true;
    EXPECT_EQ(label.terminalLikeReason(), std::nullopt);
}

// Past a writable field only a secure element can win, so the others are not read in full.
TEST(WindowOnlyTarget, ReadsInFullOnlyTheCandidatesThatCanStillWin) {
    RawFocusedElementMetadata field;
    field.role = u"AXTextField"_qs;
    field.title = u"Name"_qs;
    field.isEditable = true;
    field.isValueSettable = true;
    RawFocusedElementMetadata group;
    group.role = u"AXGroup"_qs;
    RawFocusedElementMetadata secret = field;
    secret.subrole = u"AXSecureTextField"_qs;
    secret.title = u"Password"_qs;

    FakeTree plain;
    plain.add(u"window"_qs, group);
    plain.add(u"form"_qs, group, u"window"_qs);
    plain.add(u"field"_qs, field, u"form"_qs);
    plain.add(u"hint"_qs, group, u"field"_qs);
    plain.focused = u"field"_qs;
    const FocusedElementReading chosen = AXFocusedElementReader(plain).readFocusedElement(1);
    EXPECT_EQ(chosen.element->identityKey(), u"field"_qs);
    EXPECT_EQ(chosen.metadata, field);
    EXPECT_EQ(plain.scoringReads, 1);

    FakeTree guarded = plain;
    guarded.scoringReads = 0;
    guarded.add(u"secret"_qs, secret, u"field"_qs);
    const FocusedElementReading secure = AXFocusedElementReader(guarded).readFocusedElement(1);
    EXPECT_EQ(secure.element->identityKey(), u"secret"_qs);
    EXPECT_EQ(secure.metadata, secret);
}

}  // namespace
}  // namespace quorvelle
