#include "Services/Delivery/CommandVSyntheticPastePerformer.h"
#include "Services/Delivery/SyntheticPasteError.h"

#include "DeliveryFakes.h"
#include "Services/Delivery/Model/FocusedTargetFixtures.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FakeKeyPoster;
using Key = KeyEventPosting::Key;

struct PasteRig {
    FakeKeyPoster keys;
    std::optional<qint32> frontmost = 4242;
    int sleeps = 0;
    CommandVSyntheticPastePerformer performer{keys, [this] { return frontmost; },
                                              [this](std::chrono::milliseconds) {
                                                  if (++sleeps == 3) keys.held.clear();  // the user lets go
                                              }};
    std::optional<SyntheticPasteError::Case> paste(const FocusedTargetSnapshot& target = test::writableTextField()) {
        keys.held = {FakeKeyPoster::kAlt};
        return test::errorCaseOf<SyntheticPasteError>([&] { performer.performPaste(target); });
    }
};

TEST(SyntheticPaste, WaitsForTheHotKeyModifiersThenSendsControlVOrControlShiftVForATerminal) {
    for (const bool terminal : {false, true}) {
        PasteRig rig;
        FocusedTargetSnapshot target = test::writableTextField();
        if (terminal) target.element.subrole = u"AXTerminal"_qs;
        EXPECT_EQ(rig.paste(target), std::nullopt);
        EXPECT_EQ(rig.sleeps, 3);
        EXPECT_EQ(rig.keys.posted, terminal ? FakeKeyPoster::controlShiftV : FakeKeyPoster::controlV);
    }
}

TEST(SyntheticPaste, RefusesWithoutPostingAnything) {
    using Case = SyntheticPasteError::Case;
    const struct {
        const char* name;
        std::function<void(PasteRig&)> setup;
        Case expected;
    } cases[] = {
        {"no application in front", [](PasteRig& r) { r.frontmost.reset(); }, Case::frontmostApplicationChanged},
        {"another application in front", [](PasteRig& r) { r.frontmost = 1; }, Case::frontmostApplicationChanged},
        {"no synthetic input", [](PasteRig& r) { r.keys.available = false; }, Case::eventSourceUnavailable},
        {"no key for V", [](PasteRig& r) { r.keys.codes.remove(Key::v); }, Case::eventCreationFailed},
    };
    for (const auto& c : cases) {
        PasteRig rig;
        c.setup(rig);
        EXPECT_EQ(rig.paste(), c.expected) << c.name;
        EXPECT_TRUE(rig.keys.posted.isEmpty()) << c.name;
        EXPECT_EQ(rig.sleeps, 0) << c.name;
    }
}

}  // namespace
}  // namespace quorvelle
