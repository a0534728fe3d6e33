#include "Platform/Linux/AtspiRoleTranslation.h"
#include "Platform/Linux/AtspiTextOffsets.h"
#include "Platform/Linux/ProcessAncestry.h"
#include "Services/Delivery/AXFocusedElementReader.h"
#include "Services/Delivery/AccessibilityTextInserter.h"
#include "Services/Delivery/AppScopedTextInsertionStrategyResolver.h"
#include "Services/Delivery/CommandVSyntheticPastePerformer.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "Services/Delivery/FocusedTargetInspector.h"

#include "DeliveryFakes.h"
#include "TestEventLoop.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FakeKeyPoster;
using test::FakeTree;
using InspectionCase = FocusedTargetInspectionError::Case;

// An enabled element: 'g' a group, 'w' a web area, 't' a writable text field, 's' a password field,
// 'v' a group whose value is settable, 'e' an editable text field with nothing settable.
RawFocusedElementMetadata element(char kind) {
    RawFocusedElementMetadata m;
    m.role = kind == 'g' || kind == 'v' ? u"AXGroup"_qs : kind == 'w' ? u"AXWebArea"_qs : u"AXTextField"_qs;
    if (kind == 's') m.subrole = u"AXSecureTextField"_qs;
    m.isEnabled = true;
    m.isEditable = kind == 't' || kind == 's' || kind == 'e';
    m.isValueSettable = m.isSelectedTextRangeSettable = kind == 't' || kind == 's' || kind == 'v';
    return m;
}

TEST(FocusedElementReader, RanksSecureThenWritableThenSettableAndKeepsTheFirstBestAroundTheFocus) {
    // Kind, editable, value settable, selection settable; score. Secure counts even read-only; an
    // element that does not say whether it is editable is not taken for editable.
    const std::tuple<char, std::optional<bool>, bool, bool, int> scores[] = {
        {'s', false, false, false, 100},     {'t', true, true, true, 90},          {'t', false, false, true, 90},
        {'g', false, true, true, 70},        {'t', true, false, false, 40},        {'g', false, false, false, 0},
        {'g', std::nullopt, true, true, 70}, {'t', std::nullopt, false, false, 0},
    };
    for (const auto& [kind, editable, valueSettable, rangeSettable, score] : scores) {
        RawFocusedElementMetadata m = element(kind);
        std::tie(m.isEditable, m.isValueSettable, m.isSelectedTextRangeSettable) =
            std::tuple(editable, valueSettable, rangeSettable);
        EXPECT_EQ(m.candidateScore(), score) << kind << editable.value_or(2) << valueSettable << rangeSettable;
    }
    // The tree (name/kind/parent of each element), the focused element, the active window; the choice.
    const char* const cases[][4] = {
        {"window/g field/t/window", "field", "", "field"},                  // a focused field over its group
        {"web/w para/g/web editor/t/para", "web", "", "editor"},            // an editable child of a web area
        {"form/g field/t/form secret/s/field", "field", "", "secret"},      // a password field around wins
        {"window/g label/g/window field/t/window", "", "window", "field"},  // no focus: the best in the window
        {"lonely/g", "lonely", "", "lonely"},  // a start element that scores nothing is still a result
        {"window/g first/t/window second/t/window", "", "window", "first"},  // equal scores: the first
        {"window/g first/v/window second/v/window", "", "window", "first"},  // ... also below a writable field
        {"window/g first/e/window second/e/window", "", "window", "first"},
    };
    for (const auto& [nodes, focused, window, chosen] : cases) {
        SCOPED_TRACE(nodes);
        FakeTree tree;
        for (const QString& node : QString::fromUtf8(nodes).split(u' ')) {
            const QStringList parts = node.split(u'/');
            tree.add(parts[0], element(parts[1].front().toLatin1()), parts.value(2));
        }
        tree.focused = QString::fromUtf8(focused);
        tree.window = QString::fromUtf8(window);
        const FocusedElementReading reading =
            AXFocusedElementReader(tree).readFocusedElement(FocusedAppMetadata{{}, {}, 7}, nullptr);
        ASSERT_TRUE(reading.element);
        EXPECT_EQ(reading.element->identityKey(), QString::fromUtf8(chosen));
        EXPECT_EQ(reading.metadata, tree.metadataOf.value(chosen)) << "metadata of the same element";
        EXPECT_EQ(reading.isFocused, QString::fromUtf8(chosen) == QString::fromUtf8(focused)) << "found near the focus";
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
    EXPECT_EQ(names.join(u' '), u"start ancestor6 ancestor5 ancestor4 ancestor3 child0 child1 child2 child3 child4"_qs);
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

TEST(FocusedTargetInspector, FailsInOrderAndReadsMetadataAndHandleFromOneLookup) {
    InspectorRig untrusted, noFront, nothingFocused;
    untrusted.trusted = false;
    untrusted.frontmost.reset();  // trust is asked first
    noFront.frontmost.reset();
    EXPECT_EQ(untrusted.failure(), InspectionCase::accessibilityPermissionMissing);
    EXPECT_EQ(noFront.failure(), InspectionCase::frontmostApplicationUnavailable);
    EXPECT_EQ(nothingFocused.failure(), InspectionCase::focusedElementUnavailable);
    InspectorRig rig;
    RawFocusedElementMetadata field = element('t');
    field.title = u"Name"_qs;
    rig.tree.add(u"field"_qs, field);
    rig.tree.add(u"secret"_qs, element('s'));
    // Focus moves after the first lookup: a second one would pair this metadata with the password's handle.
    rig.tree.focusSequence = {u"field"_qs, u"secret"_qs};

    const FocusedTargetSnapshot snapshot = rig.inspector.inspect();
    EXPECT_EQ(snapshot.app, *rig.frontmost);
    EXPECT_EQ(elementOf(snapshot.elementHandle)->identityKey(), u"field"_qs);
    EXPECT_EQ(snapshot.element.title, u"Name"_qs);
}

// Checking a target again after the release: the look around the element is spared only where the focus
// rests on the very element chosen before and it still takes text.
TEST(FocusedTargetInspector, ReinspectsTheEarlierChoiceAloneOnlyWhileItHoldsTheFocusAndTakesText) {
    InspectorRig rig;
    RawFocusedElementMetadata field = element('t');
    field.title = u"Name"_qs;
    rig.tree.add(u"window"_qs, element('g'));
    rig.tree.add(u"field"_qs, field, u"window"_qs);
    rig.tree.add(u"other"_qs, element('t'), u"window"_qs);
    rig.tree.focused = u"field"_qs;
    const FocusedTargetSnapshot earlier = rig.inspector.inspect();
    ASSERT_GT(rig.tree.walkSteps, 0);

    rig.tree.walkSteps = 0;
    const FocusedTargetSnapshot again = rig.inspector.reinspect(earlier);
    EXPECT_EQ(rig.tree.walkSteps, 0);
    EXPECT_EQ(elementOf(again.elementHandle)->identityKey(), u"field"_qs);
    EXPECT_EQ(again.element, earlier.element) << "the description is read as well";
    EXPECT_TRUE(again.isFocusedElement);

    // The focus on a container, on another field, or on the same element no longer taking text: a full look.
    for (const auto& [focused, kind, chosen] :
         {std::tuple{"window", 't', "field"}, std::tuple{"other", 't', "other"}, std::tuple{"field", 'g', "field"}}) {
        SCOPED_TRACE(focused);
        rig.tree.focused = QString::fromUtf8(focused);
        rig.tree.metadataOf[u"field"_qs] = element(kind);
        rig.tree.walkSteps = 0;
        const FocusedTargetSnapshot target = rig.inspector.reinspect(earlier);
        EXPECT_GT(rig.tree.walkSteps, 0);
        EXPECT_EQ(elementOf(target.elementHandle)->identityKey(), QString::fromUtf8(chosen));
    }
}

// The front window's place in the two documents below.
const QRectF kFrontFrame(10, 20, 800, 600);

// Two documents of one application, each a window holding a paragraph; "front" (note.fodt) is the one
// the window system has in front.
void twoDocuments(InspectorRig& rig, bool titlesOnTheBus, const QRectF& behindFrame) {
    for (const auto& [window, title, place] : {std::tuple{u"front"_qs, u"note.fodt - Writer"_qs, kFrontFrame},
                                               std::tuple{u"behind"_qs, u"second.fodt - Writer"_qs, behindFrame}}) {
        RawFocusedElementMetadata facts = element('g');
        if (titlesOnTheBus) facts.title = title;
        facts.frame = place;
        rig.tree.add(window, facts);
        rig.tree.add(window + u"/document"_qs, element('g'), window);
        rig.tree.add(window + u"/paragraph"_qs, element('t'), window + u"/document"_qs);
    }
    rig.tree.windowsShown = {u"front"_qs, u"behind"_qs};
    rig.frontmost->windowTitle = u"note.fodt - Writer"_qs;
    rig.frontmost->windowFrame = kFrontFrame;
}

// Two documents of one application, opened one over the other: the application tells late of the focus
// the document brought to the front took, and until then its focus events name the paragraph of the one
// behind. Neither the press's look nor the delivery's look again at that very element takes it; once the
// application names the front document's paragraph, that one is the target. The window the window system
// has in front is told by its title, else by its frame; where neither tells another of the application's
// windows from it (a toolkit that adds to the title, one window only), the named element stands.
TEST(FocusedTargetInspector, AnElementOfAnotherWindowOfTheFrontApplicationIsNotTheFocus) {
    const QRectF frame = kFrontFrame;
    InspectorRig rig;
    twoDocuments(rig, true, frame);
    rig.tree.focused = u"behind/paragraph"_qs;
    rig.frontmost->windowTitle = u"second.fodt - Writer"_qs;
    const FocusedTargetSnapshot pressedWhileBehindWasInFront = rig.inspector.inspect();
    ASSERT_EQ(elementOf(pressedWhileBehindWasInFront.elementHandle)->identityKey(), u"behind/paragraph"_qs);

    rig.frontmost->windowTitle = u"note.fodt - Writer"_qs;
    EXPECT_EQ(rig.failure(), InspectionCase::focusedElementUnavailable);
    const auto reinspected =
        test::errorCaseOf<FocusedTargetInspectionError>([&] { rig.inspector.reinspect(pressedWhileBehindWasInFront); });
    EXPECT_EQ(reinspected, InspectionCase::focusedElementUnavailable) << "the same stale element at the delivery";
    // Only the window is known: the one behind is no stand-in for the one in front either.
    rig.tree.focused.clear();
    rig.tree.window = u"behind"_qs;
    EXPECT_EQ(rig.failure(), InspectionCase::focusedElementUnavailable);

    rig.tree.window.clear();
    rig.tree.focused = u"front/paragraph"_qs;
    EXPECT_EQ(elementOf(rig.inspector.inspect().elementHandle)->identityKey(), u"front/paragraph"_qs);

    // The frame tells where the bus names no titles; not where both windows share it.
    InspectorRig untitled;
    twoDocuments(untitled, false, frame.translated(40, 40));
    untitled.tree.focused = u"behind/paragraph"_qs;
    EXPECT_EQ(untitled.failure(), InspectionCase::focusedElementUnavailable);
    untitled.tree.focused = u"front/paragraph"_qs;
    EXPECT_EQ(elementOf(untitled.inspector.inspect().elementHandle)->identityKey(), u"front/paragraph"_qs);
    InspectorRig stacked;
    twoDocuments(stacked, false, frame);
    stacked.tree.focused = u"behind/paragraph"_qs;
    EXPECT_EQ(elementOf(stacked.inspector.inspect().elementHandle)->identityKey(), u"behind/paragraph"_qs);

    // Two windows of one title: the one the element lies in may be the one in front.
    InspectorRig sameTitles;
    twoDocuments(sameTitles, true, frame.translated(40, 40));
    sameTitles.tree.metadataOf[u"behind"_qs].title = u"note.fodt - Writer"_qs;
    sameTitles.tree.focused = u"behind/paragraph"_qs;
    EXPECT_EQ(elementOf(sameTitles.inspector.inspect().elementHandle)->identityKey(), u"behind/paragraph"_qs);

    // One window whose title the window system shows otherwise, or a window system that told nothing.
    for (const bool told : {true, false}) {
        SCOPED_TRACE(told ? "titled otherwise" : "nothing told");
        InspectorRig single;
        twoDocuments(single, true, frame);
        single.tree.windowsShown = {u"behind"_qs};
        single.tree.focused = u"behind/paragraph"_qs;
        if (!told) single.frontmost->windowTitle.reset(), single.frontmost->windowFrame.reset();
        EXPECT_EQ(elementOf(single.inspector.inspect().elementHandle)->identityKey(), u"behind/paragraph"_qs);
    }
}

// A busy application may not answer for a window's title or frame, or not in time: the window left
// unread may be the front one, or the element's own may be another. Its element is not taken for the
// front window's then; the look says the focus lies in another window, so that the press and the
// delivery wait for the application to name the front window's focus. The element of a window that
// answers as the front one is taken whatever the others leave unanswered.
TEST(FocusedTargetInspector, AnElementWhoseWindowCannotBeToldIsNotTakenForTheFrontWindowsOne) {
    const auto inAnotherWindow = [](InspectorRig& rig) {
        try {
            rig.inspector.inspect();
        } catch (const FocusedTargetInspectionError& error) {
            return error.isFocusInAnotherWindow();
        }
        return false;
    };
    // Frames apart, so that only what was left unread can keep an element out.
    const QRectF behindFrame = kFrontFrame.translated(40, 40);
    for (const auto& [focused, unread, timesOut] :
         {std::tuple{"behind/paragraph", "front", false}, std::tuple{"front/paragraph", "front", false},
          std::tuple{"behind/paragraph", "front", true}}) {
        SCOPED_TRACE(std::string(focused) + (timesOut ? ", time-out on " : ", no answer from ") + unread);
        InspectorRig rig;
        twoDocuments(rig, true, behindFrame);
        rig.frontmost->windowTitle = u"note.fodt"_qs;  // as Qt tells it: no title matches
        rig.tree.focused = QString::fromUtf8(focused);
        (timesOut ? rig.tree.timingOut : rig.tree.unanswered).insert(QString::fromUtf8(unread));
        EXPECT_TRUE(inAnotherWindow(rig));
    }

    InspectorRig answering;
    twoDocuments(answering, true, behindFrame);
    answering.tree.focused = u"front/paragraph"_qs;
    answering.tree.unanswered.insert(u"behind"_qs);
    EXPECT_EQ(elementOf(answering.inspector.inspect().elementHandle)->identityKey(), u"front/paragraph"_qs);
}

// What the element leaves unsaid: enabled unless it says otherwise, editable only as a settable text input.
TEST(FocusedTargetInspector, AnElementSilentOnEnabledOrEditableIsEnabledAndEditableOnlyAsATextInput) {
    for (const char kind : {'v', 't'}) {
        SCOPED_TRACE(kind);
        InspectorRig rig;
        RawFocusedElementMetadata silent = element(kind);
        silent.isEnabled.reset();
        silent.isEditable.reset();
        rig.tree.add(u"field"_qs, silent);
        rig.tree.focused = u"field"_qs;
        const FocusedTargetSnapshot target = rig.inspector.inspect();
        EXPECT_TRUE(target.element.isEnabled);
        EXPECT_EQ(target.element.isEditable, kind == 't');
        EXPECT_EQ(target.blockReason().has_value(), kind != 't');
    }
}

// GTK 4's terminal widget holds the focus as a container named after its class, with no text: a
// terminal target, pasted into with the terminal chord and not read back. One found without the
// focus (only the window was known), or a focused one named otherwise, is no terminal.
TEST(FocusedTargetInspector, AFocusedContainerNamedAfterATerminalIsATerminal) {
    const std::tuple<const char*, bool, bool> cases[] = {
        {"KgxTerminal", true, true},
        {"VteTerminal", true, true},
        {"KgxTerminal", false, false},
        {"AdwTabBar", true, false},
    };
    for (const auto& [name, focused, terminal] : cases) {
        SCOPED_TRACE(std::string(name) + (focused ? " focused" : " as the window"));
        InspectorRig rig;
        RawFocusedElementMetadata widget = element('g');
        widget.title = QString::fromUtf8(name);
        rig.tree.add(u"terminal"_qs, widget);
        (focused ? rig.tree.focused : rig.tree.window) = u"terminal"_qs;
        const FocusedTargetSnapshot target = rig.inspector.inspect();
        ASSERT_EQ(elementOf(target.elementHandle)->identityKey(), u"terminal"_qs);
        EXPECT_EQ(target.hasSettledFocus(), terminal);
        EXPECT_EQ(target.terminalLikeReason().has_value(), terminal);
        // Nothing in it can be written directly or read back.
        EXPECT_EQ(target.blockReason(), SessionBlockReason::noWritableTarget);
        EXPECT_FALSE(target.supportsDirectValueWrite());
        if (!terminal) continue;
        EXPECT_EQ(AppScopedTextInsertionStrategyResolver().resolve(target), TextInsertionStrategy::clipboardPaste);
        test::FakeTextElement noText;
        AccessibilityTextInserter inserter(noText);
        EXPECT_EQ(inserter.verifyInsertion(u"pasted"_qs, target, inserter.insertionPoint(target)),
                  PasteReadBack::unreadable);
        FakeKeyPoster keys;
        test::runTask(
            CommandVSyntheticPastePerformer(keys, [&rig] { return rig.frontmost; }, {}).performPaste(target, {}, {}));
        EXPECT_EQ(keys.posted, FakeKeyPoster::controlShiftV);
    }
}

// A window without a tree stands for its element: a terminal pastes its own chord, a password prompt none.
TEST(FocusedTargetInspector, WindowClassesDecideTerminalChordAndPasswordPrompts) {
    const FakeKeyPoster::Events &plain = FakeKeyPoster::controlV, &shiftV = FakeKeyPoster::controlShiftV;
    const std::tuple<const char*, const char*, FakeKeyPoster::Events> cases[] = {
        {"Alacritty", "Alacritty", shiftV},
        {"xterm", "XTerm", FakeKeyPoster::shiftInsert},
        // rxvt-unicode types Control+V and Control+Shift+V as they are.
        {"urxvt", "URxvt", FakeKeyPoster::controlAltV},
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
        EXPECT_TRUE(target.isWindowOnly && !target.elementHandle);
        // Not writable, but a paste candidate: the recording may start when the clipboard is allowed.
        EXPECT_EQ(target.blockReason(),
                  secure ? SessionBlockReason::secureField : SessionBlockReason::noWritableTarget);
        EXPECT_EQ(target.isClipboardPasteCandidate(), !secure);
        if (secure) continue;
        EXPECT_EQ(AppScopedTextInsertionStrategyResolver().resolve(target), TextInsertionStrategy::clipboardPaste);
        // Nothing can be read back: not verifiable, and the element is never asked.
        test::FakeTextElement element(u"pasted"_qs);
        AccessibilityTextInserter inserter(element);
        EXPECT_EQ(inserter.verifyInsertion(u"pasted"_qs, target, inserter.insertionPoint(target)),
                  PasteReadBack::unreadable);
        EXPECT_TRUE(element.calls.isEmpty());
        FakeKeyPoster keys;
        int primaryFills = 0;
        test::runTask(CommandVSyntheticPastePerformer(
                          keys, [&rig] { return rig.frontmost; }, {}, [&] { ++primaryFills; })
                          .performPaste(target, {}, {}));
        EXPECT_EQ(keys.posted, chord);
        // Only the paste that reads the primary selection may take the user's middle-click text.
        EXPECT_EQ(primaryFills, chord == FakeKeyPoster::shiftInsert ? 1 : 0);
    }
}

// An application on the bus that cannot tell its focus (GTK 4 while the hot key holds the keyboard):
// its window stands for the field, unless one of the windows it shows holds a password field, which
// may be the one with the focus. Then the target is that password field, and nothing is recorded.
TEST(FocusedTargetInspector, AWindowWhoseFocusCannotBeToldStandsForTheFieldUnlessItShowsAPasswordField) {
    const char* const cases[][3] = {
        // the tree, the windows shown (active or not); whether the target is secure
        {"form/g name/t/form", "form", "no"},
        {"form/g name/t/form secret/s/form", "form", "yes"},
        {"other/g form/g name/t/form box/g/form secret/s/box", "other form", "yes"},  // deep, in a second window
        {"form/g name/t/form secret/s/form", "", "no"},  // no window shown: nothing to go by
    };
    for (const auto& [nodes, shown, secure] : cases) {
        SCOPED_TRACE(nodes);
        InspectorRig rig;
        for (const QString& node : QString::fromUtf8(nodes).split(u' ')) {
            const QStringList parts = node.split(u'/');
            rig.tree.add(parts[0], element(parts[1].front().toLatin1()), parts.value(2));
        }
        rig.tree.applicationPresent = false;
        rig.tree.windowsShown = QString::fromUtf8(shown).split(u' ', Qt::SkipEmptyParts);
        const FocusedTargetSnapshot target = rig.inspector.inspect();
        if (QByteArray(secure) == "no") {
            EXPECT_TRUE(target.isWindowOnly && !target.elementHandle);
            EXPECT_EQ(target.blockReason(), SessionBlockReason::noWritableTarget);
            continue;
        }
        EXPECT_FALSE(target.isWindowOnly);
        EXPECT_EQ(elementOf(target.elementHandle)->identityKey(), u"secret"_qs);
        EXPECT_FALSE(target.isFocusedElement) << "found, not told";
        EXPECT_EQ(target.blockReason(), SessionBlockReason::secureField);
    }
    // A window shown a moment ago, its application on its way to the bus: the window at once, said to
    // be on its way, never waited for inside the look; what it holds once the wait for it is over.
    InspectorRig fresh;
    fresh.tree.add(u"form"_qs, element('g'));
    RawFocusedElementMetadata secret = element('s');
    secret.isFocused = true;
    fresh.tree.add(u"secret"_qs, secret, u"form"_qs);
    fresh.tree.focused = u"secret"_qs;
    fresh.tree.applicationPresent = false, fresh.tree.applicationComing = true;
    const FocusedTargetSnapshot arriving = fresh.inspector.inspect();
    EXPECT_TRUE(arriving.isWindowOnly && arriving.isApplicationArriving);
    EXPECT_EQ(fresh.tree.arrivalWaits, 0);
    test::runTask(fresh.inspector.awaitFrontApplication({}));
    EXPECT_EQ(fresh.tree.arrivalWaits, 1);
    const FocusedTargetSnapshot target = fresh.inspector.inspect();
    EXPECT_FALSE(target.isWindowOnly || target.isApplicationArriving);
    EXPECT_TRUE(target.isFocusedElement);
    EXPECT_EQ(target.blockReason(), SessionBlockReason::secureField);
}

// Our own window in front (the dashboard, the tray panel): no field of it is looked for, and no wait for
// its application, whatever its tree would say; the failure names no other application in front.
TEST(FocusedTargetInspector, OurOwnWindowInFrontIsNeverLookedIntoNorWaitedFor) {
    InspectorRig rig;
    rig.tree.add(u"field"_qs, element('t'));
    rig.tree.focused = u"field"_qs;
    rig.frontmost->processIdentifier = static_cast<qint32>(QCoreApplication::applicationPid());
    EXPECT_TRUE(rig.frontmost->isOwnProcess());
    const auto ownWindow = [&](const std::function<void()>& look) {
        try {
            look();
        } catch (const FocusedTargetInspectionError& error) {
            return error.errorCase() == InspectionCase::frontmostApplicationUnavailable && error.isOwnWindowInFront();
        }
        return false;
    };
    EXPECT_TRUE(ownWindow([&] { rig.inspector.inspect(); }));
    EXPECT_TRUE(ownWindow([&] { rig.inspector.reinspect(FocusedTargetSnapshot{}); }));
    EXPECT_EQ(rig.tree.walkSteps, 0);
    rig.tree.applicationPresent = false, rig.tree.applicationComing = true;
    test::runTask(rig.inspector.awaitFrontApplication({}));
    EXPECT_EQ(rig.tree.arrivalWaits, 0);
    // Another process's window, even one without a number, is looked into as before.
    for (const qint32 other : {4321, 0}) {
        InspectorRig elsewhere;
        elsewhere.tree.add(u"field"_qs, element('t'));
        elsewhere.tree.focused = u"field"_qs;
        elsewhere.frontmost->processIdentifier = other;
        EXPECT_FALSE(ownWindow([&] { elsewhere.inspector.inspect(); })) << other;
    }
}

// Plain text roles are seen on the real fields of the desktop tests; these are the others.
TEST(AtspiTranslation, RolesAndFlagsInTheAXVocabularyAndOffsetsBetweenUtf16AndCodePoints) {
    const std::pair<const char*, AXRoleDescription> roles[] = {
        {"password text", {u"AXTextField"_qs, u"AXSecureTextField"_qs}},
        {"terminal", {u"AXTextArea"_qs, u"AXTerminal"_qs}},
        {"paragraph", {u"AXTextArea"_qs, std::nullopt}},  // several lines
        {"a role from a newer toolkit", {u"AXUnknown"_qs, std::nullopt}},
    };
    for (const auto& [name, description] : roles)
        EXPECT_EQ(translateAtspiRole(QString::fromUtf8(name), true), description) << name;
    // enabled, editable, read-only, multi-line, Text, EditableText -> enabled, editable, value and range settable
    const std::pair<AtspiElementFacts, AXElementFlags> flags[] = {
        {{true, true, false, false, true, true}, {true, true, true, true}},        // an editable field
        {{true, true, true, true, true, true}, {true, false, false, true}},        // a read-only text view
        {{true, true, false, false, true, false}, {true, true, false, true}},      // editable, no EditableText
        {{true, false, false, false, true, false}, {true, false, false, true}},    // a label
        {{true, false, false, false, false, false}, {true, false, false, false}},  // a panel
    };
    for (const auto& [facts, expected] : flags)
        EXPECT_EQ(translateAtspiFacts(facts), expected);
    // The GTK rows of the desktop tests convert offsets inside the text; these are the edges.
    const QString text = u"a😀b"_qs;  // code points a, 😀, b; UTF-16 units a, hi, lo, b
    const std::pair<qsizetype, qsizetype> roundTrips[] = {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {5, 6}};
    for (const auto& [points, units] : roundTrips) {
        EXPECT_EQ(utf16OffsetFromToolkit(text, points, AtspiOffsetUnit::codePoints), units) << points;
        EXPECT_EQ(toolkitOffsetFromUtf16(text, units, AtspiOffsetUnit::codePoints), points) << units;
        // Qt counts UTF-16 units itself: its offsets past the emoji pass unchanged both ways.
        EXPECT_EQ(utf16OffsetFromToolkit(text, units, AtspiOffsetUnit::utf16CodeUnits), units);
        EXPECT_EQ(toolkitOffsetFromUtf16(text, units, AtspiOffsetUnit::utf16CodeUnits), units);
    }
    EXPECT_EQ(toolkitOffsetFromUtf16(text, 2, AtspiOffsetUnit::codePoints), 2)
        << "the whole character counts as passed";
}

// A browser's web content reaches the bus from below two sandbox launchers; a process of another
// session or user, or one started elsewhere, never passes for a part of the window's application.
TEST(ProcessAncestry, AHelperBelowTheWindowsProcessInItsSessionAndUserIsPartOfTheApplication) {
    // pid -> parent, session, user. 100 owns the window; 130 is its content process's bus proxy.
    const QHash<qint32, ProcessRecord> table{
        {100, {1, 7, 1000}},   {110, {100, 7, 1000}}, {120, {110, 7, 1000}}, {130, {120, 7, 1000}},
        {140, {130, 7, 1000}}, {150, {140, 7, 1000}}, {210, {100, 8, 1000}}, {220, {210, 7, 1000}},
        {310, {100, 7, 0}},    {400, {1, 7, 1000}},   {410, {400, 7, 1000}},
    };
    const auto read = [&](qint32 pid) -> std::optional<ProcessRecord> {
        return table.contains(pid) ? std::optional(table.value(pid)) : std::nullopt;
    };
    const std::pair<qint32, bool> cases[] = {
        {100, true},                              // the window's own process
        {110, true},  {130, true},  {140, true},  // up to four generations below it
        {150, false},                             // too far below
        {210, false}, {220, false},               // through another session
        {310, false},                             // another user
        {410, false},                             // a sibling application of the same session
        {999, false},                             // gone
    };
    for (const auto& [candidate, part] : cases)
        EXPECT_EQ(ProcessAncestry::isPartOfApplication(100, candidate, read), part) << candidate;
    // The real /proc: this test's process is a part of its parent's application, not the reverse.
    const auto self = static_cast<qint32>(QCoreApplication::applicationPid());
    EXPECT_TRUE(ProcessAncestry::isPartOfApplication(ProcessAncestry::readProcessRecord(self)->parent, self));
    EXPECT_FALSE(ProcessAncestry::isPartOfApplication(self, ProcessAncestry::readProcessRecord(self)->parent));
}

}  // namespace
}  // namespace quorvelle
