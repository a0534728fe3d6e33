// Finding the focused element and describing it, from AT-SPI's vocabulary down to windows whose
// application shows no accessibility tree, and what the delivery rules make of those.
#include "Platform/Linux/AtspiRoleTranslation.h"
#include "Platform/Linux/AtspiTextOffsets.h"
#include "Services/Delivery/AXFocusedElementReader.h"
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
    // Kind, editable, value settable, selection settable; score. A secure field counts even read-only,
    // a read-only text with a settable caret as much as a writable one.
    const std::tuple<char, bool, bool, bool, int> cases[] = {
        {'s', false, false, false, 100}, {'t', true, true, true, 90},   {'t', false, false, true, 90},
        {'g', false, true, true, 70},    {'t', true, false, false, 40}, {'g', false, false, false, 0},
    };
    for (const auto& [kind, editable, valueSettable, rangeSettable, score] : cases) {
        RawFocusedElementMetadata m = element(kind);
        m.isEditable = editable;
        m.isValueSettable = valueSettable;
        m.isSelectedTextRangeSettable = rangeSettable;
        EXPECT_EQ(m.candidateScore(), score) << kind << editable << valueSettable << rangeSettable;
    }
}

TEST(FocusedElementReader, KeepsTheFirstBestScoredCandidateAroundTheFocus) {
    using Node = std::tuple<const char*, char, const char*>;  // name, kind, parent
    // The tree, the focused element, the active window; the element chosen.
    const std::tuple<const char*, std::vector<Node>, const char*, const char*, const char*> cases[] = {
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
    for (const auto& [what, nodes, focused, window, chosen] : cases) {
        SCOPED_TRACE(what);
        FakeTree tree;
        for (const auto& [name, kind, parent] : nodes)
            tree.add(QString::fromUtf8(name), element(kind), QString::fromUtf8(parent));
        tree.focused = QString::fromUtf8(focused);
        tree.window = QString::fromUtf8(window);
        const FocusedElementReading reading = AXFocusedElementReader(tree).readFocusedElement(7);
        ASSERT_TRUE(reading.element);
        EXPECT_EQ(reading.element->identityKey(), QString::fromUtf8(chosen));
        EXPECT_EQ(reading.metadata, tree.metadataOf.value(chosen)) << "metadata of the same element";
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
    std::optional<FocusedAppMetadata> frontmost = FocusedAppMetadata{u"Fixture"_qs, u"fixture"_qs, 4321};
    FocusedTargetInspector inspector{[this] { return trusted; }, [this] { return frontmost; }, reader};
    std::optional<InspectionCase> failure() {
        return test::errorCaseOf<FocusedTargetInspectionError>([this] { inspector.inspect(); });
    }
};

TEST(FocusedTargetInspector, FailsInOrderTrustThenFrontmostThenElement) {
    InspectorRig untrusted, noFront, nothingFocused;
    untrusted.trusted = false;
    untrusted.frontmost.reset();  // trust is asked first
    noFront.frontmost.reset();
    EXPECT_EQ(untrusted.failure(), InspectionCase::accessibilityPermissionMissing);
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

// A terminal pastes with its own chord; a password prompt (no chord) is refused.
TEST(FocusedTargetInspector, WindowClassesDecideTerminalChordAndPasswordPrompts) {
    const FakeKeyPoster::Events &plain = FakeKeyPoster::controlV, &shiftV = FakeKeyPoster::controlShiftV;
    const std::tuple<const char*, const char*, FakeKeyPoster::Events> cases[] = {
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
    for (const auto& [instance, windowClass, chord] : cases) {
        SCOPED_TRACE(windowClass);
        InspectorRig rig;
        rig.tree.applicationPresent = false;
        rig.frontmost = FocusedAppMetadata{QString::fromUtf8(windowClass), QString::fromUtf8(instance), 77};
        const FocusedTargetSnapshot target = rig.inspector.inspect();
        const bool secure = chord.isEmpty();
        EXPECT_EQ(target.terminalLikeReason().has_value(), !secure && chord != plain);
        EXPECT_EQ(target.blockReason() == SessionBlockReason::secureField, secure);
        EXPECT_EQ(target.isClipboardPasteCandidate(), !secure);
        if (secure) continue;
        FakeKeyPoster keys;
        CommandVSyntheticPastePerformer(keys, [] { return std::optional<qint32>(77); }, {}).performPaste(target);
        EXPECT_EQ(keys.posted, chord);
    }
}

// Plain text roles are seen on the real fields of the desktop tests; these are the others.
TEST(AtspiRoleTranslation, MapsRolesToTheAXVocabulary) {
    const struct {
        const char* roleName;
        std::optional<QString> role, subrole;
    } cases[] = {
        {"password text", u"AXTextField"_qs, u"AXSecureTextField"_qs},
        {"terminal", u"AXTextArea"_qs, u"AXTerminal"_qs},
        {"document web", u"AXWebArea"_qs, std::nullopt},
        {"a role from a newer toolkit", u"AXUnknown"_qs, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(translateAtspiRole(QString::fromUtf8(c.roleName), true), (AXRoleDescription{c.role, c.subrole}));
    EXPECT_EQ(translateAtspiRole(u"text"_qs, false).role, u"AXTextField"_qs);
    EXPECT_EQ(translateAtspiRole(u"paragraph"_qs, true).role, u"AXTextArea"_qs);
}

TEST(AtspiRoleTranslation, DerivesFlagsFromStatesAndInterfaces) {
    const struct {
        const char* name;
        AtspiElementFacts facts;
        AXElementFlags flags;
    } cases[] = {
        {"editable field", {true, true, false, false, true, true}, {true, true, true, true}},
        {"read-only text view", {true, true, true, true, true, true}, {true, false, false, true}},
        {"editable without an EditableText interface",
         {true, true, false, false, true, false},
         {true, true, false, true}},
        {"label", {true, false, false, false, true, false}, {true, false, false, true}},
        {"panel", {true, false, false, false, false, false}, {true, false, false, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(translateAtspiFacts(c.facts), c.flags) << c.name;
}

// The GTK rows of the desktop tests convert offsets inside the text; these are the edges.
TEST(AtspiTextOffsets, ConvertsBetweenUtf16AndCodePointsPastTheEndAndInsideAPair) {
    const QString text = u"a😀b"_qs;  // code points a, 😀, b; UTF-16 units a, hi, lo, b
    const std::pair<qsizetype, qsizetype> roundTrips[] = {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {5, 6}};
    for (const auto& [points, units] : roundTrips) {
        EXPECT_EQ(utf16OffsetFromToolkit(text, points, AtspiOffsetUnit::codePoints), units) << points;
        EXPECT_EQ(toolkitOffsetFromUtf16(text, units, AtspiOffsetUnit::codePoints), points) << units;
    }
    EXPECT_EQ(toolkitOffsetFromUtf16(text, 2, AtspiOffsetUnit::codePoints), 2)
        << "the whole character counts as passed";
}

}  // namespace
}  // namespace quorvelle
