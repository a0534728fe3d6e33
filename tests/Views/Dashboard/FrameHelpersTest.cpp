// The sidebar's build identity and the window's fit to small screens.
#include "Views/Dashboard/Components/AppIdentityStatus.h"
#include "Views/Dashboard/ScreenFit.h"
#include "Views/Dashboard/SidebarIdentity.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

TEST(SidebarIdentityTexts, NameTheProfileBuildAndAddresses) {
    const auto texts = [](const QProcessEnvironment& environment, const BuildKeys& keys, bool testRun) {
        return SidebarIdentity::texts(AppConfiguration(environment, keys, testRun), keys.shortVersion);
    };
    const auto production = texts({}, {{}, {}, "2.3.1", "42"}, false);
    EXPECT_EQ(production.badgeStatus, static_cast<int>(AppIdentityStatus::Production));
    EXPECT_EQ(production.helpText,
              "Version: v2.3.1\nBuild: 42\nProfile: Production\nConfiguration: Release\n"
              "Web: https://quorvelle.app\nAPI: https://api.quorvelle.app");
    // A build that wrote no version or number.
    const auto bare = texts({}, {}, true);
    EXPECT_EQ(std::pair(bare.versionLabel, bare.badgeLabel),
              std::pair(QString("v1.0.0"), QString("Local \u2022 Release \u2022 Build 0")));
    EXPECT_EQ(bare.badgeStatus, static_cast<int>(AppIdentityStatus::Local));

    QProcessEnvironment custom;
    custom.insert(QStringLiteral("QUORVELLE_BACKEND_BASE_URL"), QStringLiteral("  https://api.example.test \n"));
    const auto other = texts(custom, {}, false);
    EXPECT_EQ(other.badgeStatus, static_cast<int>(AppIdentityStatus::Custom));
    EXPECT_TRUE(other.helpText.endsWith("\nAPI: https://api.example.test")) << other.helpText.toStdString();
}

TEST(ScreenFitGeometry, KeepsTheDesignedSizeWhereItFitsAndShrinksOntoASmallerScreen) {
    const struct {
        QRect frameGeometry, available, expected;
    } cases[] = {
        {{100, 100, 1272, 860}, {0, 0, 1920, 1080}, {100, 100, 1272, 860}},
        {{0, 0, 1500, 1000}, {0, 0, 1920, 1080}, {0, 0, 1500, 1000}},
        // 1366 x 768 with a 28-high panel at the top: lower, and moved in past the right edge.
        {{100, 0, 1272, 860}, {0, 28, 1366, 740}, {94, 28, 1272, 740}},
        {{-40, 10, 1272, 860}, {0, 0, 1024, 768}, {0, 0, 1024, 768}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScreenFit::fitted(c.frameGeometry, {1, 24, 1, 1}, {1270, 835}, c.available), c.expected)
            << c.available.width();
}

}  // namespace
}  // namespace quorvelle::test
