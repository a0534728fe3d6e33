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

// A terminal pastes with its own chord; a password prompt (no chord) is refused.
TEST(WindowOnlyTarget, WindowClassesDecideTerminalChordAndPasswordPrompts) {
    using test::FakeKeyPoster;
    const FakeKeyPoster::Events &plain = FakeKeyPoster::controlV, &shiftV = FakeKeyPoster::controlShiftV;
    const struct {
        const char *instance, *windowClass;
        FakeKeyPoster::Events chord;
    } cases[] = {
        {"Alacritty", "Alacritty", shiftV},
        {"xterm", "XTerm", FakeKeyPoster::shiftInsert},
        {"st-256color", "St", shiftV},
        {"gnome-terminal-server", "Gnome-terminal", shiftV},
        // "st" names the terminal only as a whole class, never inside another name.
        {"stellarium", "Stellarium", plain},
        {"qttextfieldfixture", "QtTextFieldFixture", plain},
        {"pinentry-gtk-2", "Pinentry-gtk-2", {}},
        {"ssh-askpass", "Ssh-askpass", {}},
        {"polkit-gnome-authentication-agent-1", "Polkit-gnome-authentication-agent-1", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windowClass);
        FakeTree tree;
        tree.applicationPresent = false;
        const FocusedAppMetadata app{QString::fromUtf8(c.windowClass), QString::fromUtf8(c.instance), 77};
        const FocusedTargetSnapshot target = inspectWindowOf(tree, app);
        const bool secure = c.chord.isEmpty();
        EXPECT_EQ(target.terminalLikeReason().has_value(), !secure && c.chord != plain);
        EXPECT_EQ(target.blockReason() == SessionBlockReason::secureField, secure);
        EXPECT_EQ(target.isClipboardPasteCandidate(), !secure);
        if (secure) continue;
        FakeKeyPoster keys;
        CommandVSyntheticPastePerformer(keys, [] { return std::optional<qint32>(77); }, {}).performPaste(target);
        EXPECT_EQ(keys.posted, c.chord);
    }
}

}  // namespace
}  // namespace quorvelle
