#include <gtest/gtest.h>

#include <functional>

#include "FocusedTargetFixtures.h"
#include "Services/Delivery/FocusedTargetIdentityScore.h"

namespace quorvelle {
namespace {

using test::writableTextField;

struct ScoreCase {
    const char* name;
    std::function<void(FocusedTargetSnapshot&)> change;  // applied to the current snapshot only
    int score;
    bool sameSurface;
    QStringList reasons;
};

void PrintTo(const ScoreCase& c, std::ostream* os) {
    *os << c.name;
}

class IdentityScore : public ::testing::TestWithParam<ScoreCase> {};

TEST_P(IdentityScore, AddsOnePointsAndReasonPerRuleInOrderAndIsSymmetric) {
    const ScoreCase& c = GetParam();
    const FocusedTargetSnapshot earlier = writableTextField();
    FocusedTargetSnapshot current = writableTextField();
    c.change(current);

    const auto forward = FocusedTargetIdentityScore::compute(earlier, current);
    EXPECT_EQ(forward.score, c.score);
    EXPECT_EQ(forward.isSameSurface, c.sameSurface);
    EXPECT_EQ(forward.reasons, c.reasons);
    EXPECT_EQ(FocusedTargetIdentityScore::compute(current, earlier), forward);
}

const QString samePid = QStringLiteral("same process id");
const QString otherPid = QStringLiteral("different process id");
const QString sameBundle = QStringLiteral("same bundle id");
const QString sameId = QStringLiteral("same AXIdentifier");
const QString otherId = QStringLiteral("different AXIdentifier");
const QString sameRole = QStringLiteral("same role/subrole");
const QString sameTitle = QStringLiteral("same title");
const QString otherTitle = QStringLiteral("different title");
const QString similarFrame = QStringLiteral("similar frame");
const QString otherFrame = QStringLiteral("different frame");
const QString similarSize = QStringLiteral("similar size");

INSTANTIATE_TEST_SUITE_P(
    Cases, IdentityScore,
    ::testing::Values(ScoreCase{"identicalSnapshotsScoreTheMaximum",
                                [](auto&) {},
                                130,
                                true,
                                {samePid, sameBundle, sameId, sameRole, sameTitle, similarFrame, similarSize}},
                      ScoreCase{"windowMovedBeyondTolerance",
                                [](auto& t) { t.element.frame->translate(4.5, 0); },
                                70,
                                true,
                                {samePid, sameBundle, sameId, sameRole, sameTitle, otherFrame, similarSize}},
                      ScoreCase{"movedExactlyFourPointsIsStillSimilar",
                                [](auto& t) {
                                    t.element.frame->translate(4, -4);
                                    t.element.frame->setWidth(304);
                                    t.element.frame->moveLeft(102);  // width +4 keeps the midpoint within 4
                                    t.element.size = QSizeF(304, 36);
                                },
                                130,
                                true,
                                {samePid, sameBundle, sameId, sameRole, sameTitle, similarFrame, similarSize}},
                      ScoreCase{"differentIdentifiersAndFramesGiveTheMinimum",
                                [](auto& t) {
                                    t.app.processIdentifier = 1;
                                    t.app.bundleIdentifier = QStringLiteral("org.other");
                                    t.element.identifier = QStringLiteral("other");
                                    t.element.role = QStringLiteral("AXTextField");
                                    t.element.title = QStringLiteral("Other");
                                    t.element.frame = QRectF(0, 0, 10, 10);
                                    t.element.size = QSizeF(10, 10);
                                },
                                -70,
                                false,
                                {otherPid, otherId, otherFrame}},
                      ScoreCase{"titleAbsentOnOneSideCountsAsDifferentAndFortyFiveIsNotEnough",
                                [](auto& t) {
                                    t.app.bundleIdentifier.reset();
                                    t.element.identifier.reset();
                                    t.element.title.reset();
                                },
                                45,
                                false,
                                {samePid, sameRole, otherTitle, similarFrame, similarSize}},
                      ScoreCase{"exactlyFiftyIsTheSameSurface",
                                [](auto& t) {
                                    t.app.bundleIdentifier.reset();
                                    t.element.identifier.reset();
                                    t.element.size.reset();
                                    t.element.role = QStringLiteral("AXTextField");
                                },
                                50,
                                true,
                                {samePid, sameTitle, similarFrame}},
                      ScoreCase{"sizeOutsideToleranceAddsNothing",
                                [](auto& t) { t.element.size = QSizeF(300, 44.5); },
                                120,
                                true,
                                {samePid, sameBundle, sameId, sameRole, sameTitle, similarFrame}}),
    [](const auto& info) { return std::string(info.param.name); });

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
