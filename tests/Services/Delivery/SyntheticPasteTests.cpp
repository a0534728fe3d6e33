#include "Services/Delivery/CommandVSyntheticPastePerformer.h"
#include "Services/Delivery/SyntheticPasteError.h"

#include "DeliveryFakes.h"
#include "Services/Delivery/Model/FocusedTargetFixtures.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FakeKeyPoster;
using Key = KeyEventPosting::Key;
using Events = QList<QPair<quint32, bool>>;
constexpr quint32 kControl = 37, kShift = 50, kV = 55, kAlt = 64;

struct PasteRig {
    FakeKeyPoster keys;
    std::optional<qint32> frontmost = 4242;
    int sleeps = 0;
    std::function<void()> duringSleep;
    CommandVSyntheticPastePerformer performer{keys, [this] { return frontmost; },
                                              [this](std::chrono::milliseconds) {
                                                  ++sleeps;
                                                  if (duringSleep) duringSleep();
                                              }};
};

std::optional<SyntheticPasteError::Case> pasteError(PasteRig& rig, const FocusedTargetSnapshot& target) {
    try {
        rig.performer.performPaste(target);
    } catch (const SyntheticPasteError& error) {
        return error.errorCase();
    }
    return std::nullopt;
}

TEST(SyntheticPaste, SendsControlVOrControlShiftVForATerminal) {
    PasteRig plain;
    EXPECT_EQ(pasteError(plain, test::writableTextField()), std::nullopt);
    EXPECT_EQ(plain.keys.posted, (Events{{kControl, true}, {kV, true}, {kV, false}, {kControl, false}}));

    PasteRig terminal;
    FocusedTargetSnapshot target = test::writableTextField();
    target.element.subrole = u"AXTerminal"_qs;
    EXPECT_EQ(pasteError(terminal, target), std::nullopt);
    EXPECT_EQ(terminal.keys.posted,
              (Events{{kControl, true}, {kShift, true}, {kV, true}, {kV, false}, {kShift, false}, {kControl, false}}));
}

TEST(SyntheticPaste, RefusesWithoutPostingAnything) {
    struct RefusalCase {
        const char* name;
        std::function<void(PasteRig&)> setup;
        SyntheticPasteError::Case expected;
    };
    const RefusalCase cases[] = {
        {"no application in front", [](PasteRig& r) { r.frontmost.reset(); },
         SyntheticPasteError::Case::frontmostApplicationChanged},
        {"another application in front", [](PasteRig& r) { r.frontmost = 1; },
         SyntheticPasteError::Case::frontmostApplicationChanged},
        {"no synthetic input", [](PasteRig& r) { r.keys.available = false; },
         SyntheticPasteError::Case::eventSourceUnavailable},
        {"no key for V", [](PasteRig& r) { r.keys.codes.remove(Key::v); },
         SyntheticPasteError::Case::eventCreationFailed},
    };
    for (const RefusalCase& c : cases) {
        PasteRig rig;
        rig.keys.held = {kAlt};
        c.setup(rig);
        EXPECT_EQ(pasteError(rig, test::writableTextField()), c.expected) << c.name;
        EXPECT_TRUE(rig.keys.posted.isEmpty()) << c.name;
        EXPECT_EQ(rig.sleeps, 0) << c.name;
    }
}

TEST(SyntheticPaste, WaitsForTheHotKeyModifiersBeforeTheChord) {
    PasteRig rig;
    rig.keys.held = {kAlt};
    rig.duringSleep = [&rig] {
        if (rig.sleeps == 3) rig.keys.held.clear();  // the user lets go
    };
    EXPECT_EQ(pasteError(rig, test::writableTextField()), std::nullopt);
    EXPECT_EQ(rig.sleeps, 3);
    EXPECT_EQ(rig.keys.posted, (Events{{kControl, true}, {kV, true}, {kV, false}, {kControl, false}}));
}

}  // namespace
}  // namespace quorvelle
