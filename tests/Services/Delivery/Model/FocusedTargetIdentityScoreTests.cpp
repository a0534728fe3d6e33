#include <gtest/gtest.h>

#include <functional>

#include "FocusedTargetFixtures.h"
#include "Services/Delivery/FocusedTargetIdentityScore.h"

namespace quorvelle {
namespace {

using test::writableTextField;

const QString sameBundle = QStringLiteral("same bundle id");

TEST(IdentityScore, AddsOnePointsAndReasonPerRuleInOrderAndIsSymmetric) {
    const QString all = QStringLiteral(
        "same process id, same bundle id, same AXIdentifier, same role/subrole, same title, similar frame, similar "
        "size");
    const struct {
        const char* name;
        std::function<void(FocusedTargetSnapshot&)> change;  // applied to the current snapshot only
        int score;
        bool sameSurface;
        QString reasons;
    } cases[] = {
        {"identical", [](auto&) {}, 130, true, all},
        {"moved beyond the tolerance", [](auto& t) { t.element.frame->translate(4.5, 0); }, 70, true,
         QString(all).replace(u"similar frame"_qs, u"different frame"_qs)},
        {"moved exactly four points",
         [](auto& t) {
             t.element.frame->translate(4, -4);
             t.element.frame->setWidth(304);
             t.element.frame->moveLeft(102);  // width +4 keeps the midpoint within 4
             t.element.size = QSizeF(304, 36);
         },
         130, true, all},
        {"everything different",
         [](auto& t) {
             t.app.processIdentifier = 1;
             t.app.bundleIdentifier = QStringLiteral("org.other");
             t.element.identifier = QStringLiteral("other");
             t.element.role = QStringLiteral("AXTextField");
             t.element.title = QStringLiteral("Other");
             t.element.frame = QRectF(0, 0, 10, 10);
             t.element.size = QSizeF(10, 10);
         },
         -70, false, u"different process id, different AXIdentifier, different frame"_qs},
        {"a title on one side only is different, and 45 is not enough",
         [](auto& t) {
             t.app.bundleIdentifier.reset();
             t.element.identifier.reset();
             t.element.title.reset();
         },
         45, false, u"same process id, same role/subrole, different title, similar frame, similar size"_qs},
        {"exactly 50 is the same surface",
         [](auto& t) {
             t.app.bundleIdentifier.reset();
             t.element.identifier.reset();
             t.element.size.reset();
             t.element.role = QStringLiteral("AXTextField");
         },
         50, true, u"same process id, same title, similar frame"_qs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FocusedTargetSnapshot earlier = writableTextField();
        FocusedTargetSnapshot current = writableTextField();
        c.change(current);
        const auto forward = FocusedTargetIdentityScore::compute(earlier, current);
        EXPECT_EQ(forward.score, c.score);
        EXPECT_EQ(forward.isSameSurface, c.sameSurface);
        EXPECT_EQ(forward.reasons.join(u", "), c.reasons);
        EXPECT_EQ(FocusedTargetIdentityScore::compute(current, earlier), forward);
    }
}

TEST(IdentityScoreFixture, BothBundlesAbsentCountAsTheSame) {
    FocusedTargetSnapshot a = writableTextField();
    FocusedTargetSnapshot b = writableTextField();
    a.app.bundleIdentifier.reset();
    b.app.bundleIdentifier.reset();
    EXPECT_TRUE(FocusedTargetIdentityScore::compute(a, b).reasons.contains(sameBundle));
    b.app.bundleIdentifier = QStringLiteral("org.example.Notes");
    EXPECT_FALSE(FocusedTargetIdentityScore::compute(a, b).reasons.contains(sameBundle));
}

}  // namespace
}  // namespace quorvelle
