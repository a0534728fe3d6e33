// Windows whose application has no accessibility tree: what the inspector makes of them and how
// the delivery rules treat the result.
#include "Services/Delivery/AXFocusedElementReader.h"
#include "Services/Delivery/AccessibilityTextInserter.h"
#include "Services/Delivery/AppScopedTextInsertionStrategyResolver.h"
#include "Services/Delivery/CommandVSyntheticPastePerformer.h"
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
        {"xterm", "XTerm", true, false, shiftInsert},
        {"st-256color", "St", true, false, controlShiftV},
        {"gnome-terminal-server", "Gnome-terminal", true, false, controlShiftV},
        // "st" names the terminal only as a whole class, never inside another name.
        {"stellarium", "Stellarium", false, false, controlV},
        {"qttextfieldfixture", "QtTextFieldFixture", false, false, controlV},
        {"pinentry-gtk-2", "Pinentry-gtk-2", false, true, {}},
        {"ssh-askpass", "Ssh-askpass", false, true, {}},
        {"polkit-gnome-authentication-agent-1", "Polkit-gnome-authentication-agent-1", false, true, {}},
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
}

}  // namespace
}  // namespace quorvelle
