#include "Services/Delivery/AXFocusedElementReader.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "Services/Delivery/FocusedTargetInspector.h"

#include "DeliveryFakes.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FakeTree;
using InspectionCase = FocusedTargetInspectionError::Case;

RawFocusedElementMetadata textField() {
    RawFocusedElementMetadata m;
    m.role = u"AXTextField"_qs;
    m.isEnabled = true;
    m.isEditable = true;
    m.isValueSettable = true;
    m.isSelectedTextRangeSettable = true;
    return m;
}

RawFocusedElementMetadata group() {
    RawFocusedElementMetadata m;
    m.role = u"AXGroup"_qs;
    m.isEnabled = true;
    return m;
}

RawFocusedElementMetadata passwordField() {
    RawFocusedElementMetadata m = textField();
    m.subrole = u"AXSecureTextField"_qs;
    return m;
}

TEST(CandidateScore, RanksSecureThenWritableThenSettableThenEditable) {
    struct ScoreCase {
        const char* name;
        std::function<void(RawFocusedElementMetadata&)> change;
        int score;
    };
    const ScoreCase cases[] = {
        {"secure field, even read-only",
         [](auto& m) {
             m = RawFocusedElementMetadata{};
             m.subrole = u"AXSecureTextField"_qs;
         },
         100},
        {"settable and editable", [](auto&) {}, 90},
        {"read-only text with a settable caret",
         [](auto& m) {
             m.isEditable = false;
             m.isValueSettable = false;
         },
         90},
        {"settable, not editable, not a text role",
         [](auto& m) {
             m.role = u"AXGroup"_qs;
             m.isEditable = false;
         },
         70},
        {"editable with nothing settable",
         [](auto& m) {
             m.isValueSettable = false;
             m.isSelectedTextRangeSettable = false;
         },
         40},
        {"plain group", [](auto& m) { m = group(); }, 0},
    };
    for (const ScoreCase& c : cases) {
        RawFocusedElementMetadata m = textField();
        c.change(m);
        EXPECT_EQ(m.candidateScore(), c.score) << c.name;
    }
}

struct ReaderCase {
    const char* name;
    std::function<void(FakeTree&)> build;
    QString chosen;
};

TEST(FocusedElementReader, KeepsTheFirstBestScoredCandidateAroundTheFocus) {
    const ReaderCase cases[] = {
        {"focused field over its group",
         [](FakeTree& t) {
             t.add(u"window"_qs, group());
             t.add(u"field"_qs, textField(), u"window"_qs);
             t.focused = u"field"_qs;
         },
         u"field"_qs},
        {"editable child of a focused web area",
         [](FakeTree& t) {
             RawFocusedElementMetadata web = group();
             web.role = u"AXWebArea"_qs;
             t.add(u"web"_qs, web);
             t.add(u"para"_qs, group(), u"web"_qs);
             t.add(u"editor"_qs, textField(), u"para"_qs);
             t.focused = u"web"_qs;
         },
         u"editor"_qs},
        {"a password field anywhere around wins",
         [](FakeTree& t) {
             t.add(u"form"_qs, group());
             t.add(u"field"_qs, textField(), u"form"_qs);
             t.add(u"secret"_qs, passwordField(), u"field"_qs);
             t.focused = u"field"_qs;
         },
         u"secret"_qs},
        {"no focused element: the best inside the active window",
         [](FakeTree& t) {
             t.add(u"window"_qs, group());
             t.add(u"label"_qs, group(), u"window"_qs);
             t.add(u"field"_qs, textField(), u"window"_qs);
             t.window = u"window"_qs;
         },
         u"field"_qs},
        {"a start element that scores nothing is still a result",
         [](FakeTree& t) {
             t.add(u"lonely"_qs, group());
             t.focused = u"lonely"_qs;
         },
         u"lonely"_qs},
    };
    for (const ReaderCase& c : cases) {
        FakeTree tree;
        c.build(tree);
        AXFocusedElementReader reader(tree);
        const FocusedElementReading reading = reader.readFocusedElement(7);
        ASSERT_TRUE(reading.element) << c.name;
        EXPECT_EQ(reading.element->identityKey(), c.chosen) << c.name;
        EXPECT_EQ(reading.metadata, tree.metadataOf.value(c.chosen)) << c.name << ": metadata of the same element";
    }
}

TEST(FocusedElementReader, BoundsTheSearchAndVisitsEachElementOnce) {
    FakeTree tree;
    QString parent;
    for (int depth = 0; depth < 7; ++depth) {  // a chain of seven ancestors
        const QString name = QStringLiteral("ancestor%1").arg(depth);
        tree.add(name, group(), parent);
        parent = name;
    }
    tree.add(u"start"_qs, group(), parent);
    for (int i = 0; i < 20; ++i)
        tree.add(QStringLiteral("child%1").arg(i), group(), u"start"_qs);
    tree.childrenOf[u"child0"_qs].append(u"start"_qs);  // a cycle back to the start
    tree.focused = u"start"_qs;

    AXFocusedElementReader reader(tree, 10);
    const QList<AccessibilityElementRef> candidates = reader.collectCandidates(tree.elements.value(u"start"_qs));
    QStringList names;
    for (const auto& c : candidates)
        names << c->identityKey();
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
};

std::optional<InspectionCase> inspectionError(FocusedTargetInspector& inspector) {
    try {
        inspector.inspect();
    } catch (const FocusedTargetInspectionError& error) {
        return error.errorCase();
    }
    return std::nullopt;
}

TEST(FocusedTargetInspector, FailsInOrderTrustThenFrontmostThenElement) {
    InspectorRig untrusted;
    untrusted.trusted = false;
    EXPECT_EQ(inspectionError(untrusted.inspector), InspectionCase::accessibilityPermissionMissing);
    EXPECT_EQ(untrusted.frontmostQueries, 0);

    InspectorRig noFront;
    noFront.frontmost.reset();
    EXPECT_EQ(inspectionError(noFront.inspector), InspectionCase::frontmostApplicationUnavailable);

    InspectorRig nothingFocused;
    EXPECT_EQ(inspectionError(nothingFocused.inspector), InspectionCase::focusedElementUnavailable);
}

TEST(FocusedTargetInspector, ReadsMetadataAndHandleFromOneLookupOfTheElement) {
    InspectorRig rig;
    RawFocusedElementMetadata raw = textField();
    raw.title = u"Name"_qs;
    rig.tree.add(u"field"_qs, raw);
    rig.tree.add(u"secret"_qs, passwordField());
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

}  // namespace
}  // namespace quorvelle
