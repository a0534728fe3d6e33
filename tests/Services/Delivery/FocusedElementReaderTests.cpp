// Finding the focused element and describing it, down to windows whose application shows no
// accessibility tree, and what the delivery rules make of those.
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

using test::FakeKeyPoster;
using test::FakeTree;
using InspectionCase = FocusedTargetInspectionError::Case;

std::optional<QString> text(const char* value) {
    return value ? std::optional(QString::fromUtf8(value)) : std::nullopt;
}

// An enabled element: 'g' a group, 'w' a web area, 't' a writable text field, 's' a password field.
RawFocusedElementMetadata element(char kind) {
    RawFocusedElementMetadata m;
    m.role = kind == 'g' ? u"AXGroup"_qs : kind == 'w' ? u"AXWebArea"_qs : u"AXTextField"_qs;
    if (kind == 's') m.subrole = u"AXSecureTextField"_qs;
    m.isEnabled = true;
    m.isEditable = m.isValueSettable = m.isSelectedTextRangeSettable = kind == 't' || kind == 's';
    return m;
}

TEST(CandidateScore, RanksSecureThenWritableThenSettableThenEditable) {
    const struct {
        const char *what, *role, *subrole;
        bool editable, valueSettable, rangeSettable;
        int score;
    } cases[] = {
        {"secure field, even read-only", nullptr, "AXSecureTextField", false, false, false, 100},
        {"settable and editable", "AXTextField", nullptr, true, true, true, 90},
        {"read-only text with a settable caret", "AXTextField", nullptr, false, false, true, 90},
        {"settable, not editable, not a text role", "AXGroup", nullptr, false, true, true, 70},
        {"editable with nothing settable", "AXTextField", nullptr, true, false, false, 40},
        {"plain group", "AXGroup", nullptr, false, false, false, 0},
    };
    for (const auto& c : cases) {
        RawFocusedElementMetadata m;
        m.role = text(c.role);
        m.subrole = text(c.subrole);
        m.isEnabled = c.role != nullptr;
        m.isEditable = c.editable;
        m.isValueSettable = c.valueSettable;
        m.isSelectedTextRangeSettable = c.rangeSettable;
        EXPECT_EQ(m.candidateScore(), c.score) << c.what;
    }
}

TEST(FocusedElementReader, KeepsTheFirstBestScoredCandidateAroundTheFocus) {
    struct Node {
        const char* name;
        char kind;
        const char* parent;
    };
    const struct {
        const char* what;
        std::vector<Node> tree;
        const char *focused, *window, *chosen;
    } cases[] = {
        {"focused field over its group", {{"window", 'g', ""}, {"field", 't', "window"}}, "field", "", "field"},
        {"editable child of a focused web area",
         {{"web", 'w', ""}, {"para", 'g', "web"}, {"editor", 't', "para"}},
         "web",
         "",
         "editor"},
        {"a password field anywhere around wins",
         {{"form", 'g', ""}, {"field", 't', "form"}, {"secret", 's', "field"}},
         "field",
         "",
         "secret"},
        {"no focused element: the best inside the active window",
         {{"window", 'g', ""}, {"label", 'g', "window"}, {"field", 't', "window"}},
         "",
         "window",
         "field"},
        {"a start element that scores nothing is still a result", {{"lonely", 'g', ""}}, "lonely", "", "lonely"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeTree tree;
        for (const Node& node : c.tree)
            tree.add(QString::fromUtf8(node.name), element(node.kind), QString::fromUtf8(node.parent));
        tree.focused = QString::fromUtf8(c.focused);
        tree.window = QString::fromUtf8(c.window);
        const FocusedElementReading reading = AXFocusedElementReader(tree).readFocusedElement(7);
        ASSERT_TRUE(reading.element);
        EXPECT_EQ(reading.element->identityKey(), QString::fromUtf8(c.chosen));
        EXPECT_EQ(reading.metadata, tree.metadataOf.value(c.chosen)) << "metadata of the same element";
    }
}

TEST(FocusedElementReader, BoundsTheSearchAndVisitsEachElementOnce) {
    FakeTree tree;
    QString parent;
    for (int depth = 0; depth < 7; ++depth) {  // a chain of seven ancestors
        const QString name = QStringLiteral("ancestor%1").arg(depth);
        tree.add(name, element('g'), parent);
        parent = name;
    }
    tree.add(u"start"_qs, element('g'), parent);
    for (int i = 0; i < 20; ++i)
        tree.add(QStringLiteral("child%1").arg(i), element('g'), u"start"_qs);
    tree.childrenOf[u"child0"_qs].append(u"start"_qs);  // a cycle back to the start

    QStringList names;
    for (const auto& candidate : AXFocusedElementReader(tree, 10).collectCandidates(tree.elements.value(u"start"_qs)))
        names << candidate->identityKey();
    EXPECT_EQ(names, (QStringList{u"start"_qs, u"ancestor6"_qs, u"ancestor5"_qs, u"ancestor4"_qs, u"ancestor3"_qs,
                                  u"child0"_qs, u"child1"_qs, u"child2"_qs, u"child3"_qs, u"child4"_qs}));
}

struct InspectorRig {
    FakeTree tree;
    AXFocusedElementReader reader{tree};
    bool trusted = true;
    int frontmostQueries = 0;
    std::optional<FocusedAppMetadata> frontmost = FocusedAppMetadata{u"Fixture"_qs, u"fixture"_qs, 4321};
    FocusedTargetInspector inspector{[this] { return trusted; },
                                     [this] {
                                         ++frontmostQueries;
                                         return frontmost;
                                     },
                                     reader};
    std::optional<InspectionCase> failure() {
        return test::errorCaseOf<FocusedTargetInspectionError>([this] { inspector.inspect(); });
    }
};

TEST(FocusedTargetInspector, FailsInOrderTrustThenFrontmostThenElement) {
    InspectorRig untrusted, noFront, nothingFocused;
    untrusted.trusted = false;
    EXPECT_EQ(untrusted.failure(), InspectionCase::accessibilityPermissionMissing);
    EXPECT_EQ(untrusted.frontmostQueries, 0);
    noFront.frontmost.reset();
    EXPECT_EQ(noFront.failure(), InspectionCase::frontmostApplicationUnavailable);
    EXPECT_EQ(nothingFocused.failure(), InspectionCase::focusedElementUnavailable);
}

TEST(FocusedTargetInspector, ReadsMetadataAndHandleFromOneLookupOfTheElement) {
    InspectorRig rig;
    RawFocusedElementMetadata field = element('t');
    field.title = u"Name"_qs;
    rig.tree.add(u"field"_qs, field);
    rig.tree.add(u"secret"_qs, element('s'));
    // Focus moves right after the first lookup: a second lookup would pair this field's metadata
    // with the password field's handle.
    rig.tree.focusSequence = {u"field"_qs, u"secret"_qs};

    const FocusedTargetSnapshot snapshot = rig.inspector.inspect();
    EXPECT_EQ(rig.tree.focusLookups, 1);
    EXPECT_EQ(rig.tree.lastProcessIdentifier, 4321);
    EXPECT_EQ(snapshot.app, *rig.frontmost);
    EXPECT_EQ(elementOf(snapshot.elementHandle)->identityKey(), u"field"_qs);
    EXPECT_EQ(snapshot.element.title, u"Name"_qs);
}

TEST(FocusedTargetInspector, AnApplicationWithoutATreeIsDescribedByItsWindow) {
    InspectorRig rig;
    rig.tree.applicationPresent = false;
    const FocusedTargetSnapshot target = rig.inspector.inspect();
    EXPECT_TRUE(target.isWindowOnly);
    EXPECT_EQ(target.app, *rig.frontmost);
    EXPECT_EQ(target.elementHandle, nullptr);
    EXPECT_EQ(target.element.role, u"AXUnknown"_qs);
    EXPECT_TRUE(target.element.isEnabled && !target.element.isEditable && !target.element.isSecure());
    // Not writable, but a paste candidate: the recording may start when the clipboard is allowed.
    EXPECT_EQ(target.blockReason(), SessionBlockReason::noWritableTarget);
    EXPECT_TRUE(target.isClipboardPasteCandidate());
    EXPECT_EQ(AppScopedTextInsertionStrategyResolver().resolve(target), TextInsertionStrategy::clipboardPaste);
    // Nothing can be read back: not verifiable, and the element is never asked.
    test::FakeTextElement element;
    element.value = u"pasted words"_qs;
    EXPECT_EQ(AccessibilityTextInserter(element).verifyInsertion(u"pasted words"_qs, target), std::nullopt);
    EXPECT_TRUE(element.calls.isEmpty());
}

// A terminal pastes with its own chord; a password prompt (no chord) is refused.
TEST(FocusedTargetInspector, WindowClassesDecideTerminalChordAndPasswordPrompts) {
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
        InspectorRig rig;
        rig.tree.applicationPresent = false;
        rig.frontmost = FocusedAppMetadata{QString::fromUtf8(c.windowClass), QString::fromUtf8(c.instance), 77};
        const FocusedTargetSnapshot target = rig.inspector.inspect();
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
