// The sidebar's build identity and the window's fit to small screens.
#include "Views/Dashboard/Components/AppIdentityStatus.h"
#include "Views/Dashboard/ScreenFit.h"
#include "Views/Dashboard/SidebarIdentity.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

TEST(SidebarIdentityTexts, NameTheProfileBuildAndAddresses) {
    struct Case {
        const char* name;
        QProcessEnvironment environment;
        BuildKeys keys;
        bool testRun;
        QString versionLabel, badgeLabel;
        AppIdentityStatus status;
        QString help;
    };
    QProcessEnvironment custom;
    custom.insert(QStringLiteral("QUORVELLE_BACKEND_BASE_URL"), QStringLiteral("  https://api.example.test \n"));
    const Case cases[] = {
        {"production",
         {},
         {{}, {}, "2.3.1", "42"},
         false,
         "v2.3.1",
         "Production \u2022 Release \u2022 Build 42",
         AppIdentityStatus::Production,
         "Version: v2.3.1\nBuild: 42\nProfile: Production\nConfiguration: Release\nWeb: https://quorvelle.app\n"
         "API: https://api.quorvelle.app"},
        {"no version or build",
         {},
         {},
         true,
         "v1.0.0",
         "Local \u2022 Release \u2022 Build 0",
         AppIdentityStatus::Local,
         "Version: v1.0.0\nBuild: 0\nProfile: Local\nConfiguration: Release\nWeb: http://localhost:3000\n"
         "API: http://localhost:4000"},
        {"custom backend",
         custom,
         {{}, {}, "2.3.1", "7"},
         false,
         "v2.3.1",
         "Custom \u2022 Release \u2022 Build 7",
         AppIdentityStatus::Custom,
         "Version: v2.3.1\nBuild: 7\nProfile: Custom\nConfiguration: Release\nWeb: https://quorvelle.app\n"
         "API: https://api.example.test"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto texts =
            SidebarIdentity::texts(AppConfiguration(c.environment, c.keys, c.testRun), c.keys.shortVersion);
        EXPECT_EQ(texts.versionLabel, c.versionLabel);
        EXPECT_EQ(texts.badgeLabel, c.badgeLabel);
        EXPECT_EQ(texts.badgeStatus, static_cast<int>(c.status));
        EXPECT_EQ(texts.helpText, c.help);
    }
}

TEST(ScreenFitGeometry, KeepsTheDesignedSizeWhereItFitsAndShrinksOntoASmallerScreen) {
    const QSize designed(1270, 835);
    const QMargins frame(1, 24, 1, 1);
    struct Case {
        const char* name;
        QRect frameGeometry, available, expected;
    };
    const Case cases[] = {
        {"large screen", {100, 100, 1272, 860}, {0, 0, 1920, 1080}, {100, 100, 1272, 860}},
        {"larger than designed stays", {0, 0, 1500, 1000}, {0, 0, 1920, 1080}, {0, 0, 1500, 1000}},
        // 1366 x 768 with a 28-high panel at the top: lower, and moved in past the right edge.
        {"laptop screen", {100, 0, 1272, 860}, {0, 28, 1366, 740}, {94, 28, 1272, 740}},
        {"narrower than designed", {-40, 10, 1272, 860}, {0, 0, 1024, 768}, {0, 0, 1024, 768}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ScreenFit::fitted(c.frameGeometry, frame, designed, c.available), c.expected);
    }
}

}  // namespace
}  // namespace quorvelle::test
