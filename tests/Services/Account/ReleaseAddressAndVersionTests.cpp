#include "Services/Backend/BackendReleaseNotesFetcher.h"
#include "Services/Backend/ManualSoftwareUpdateChecker.h"
#include "Services/Backend/ReleaseServiceAddress.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

TEST(ReleaseAddresses, PathsJoinOnceAndTheQueryIsExactlyOurs) {
    const QString production = releaseservice::productionBackendBaseAddress();
    const struct {
        QString base;
        QString list;
        QString latest;
    } cases[] = {
        {"http://127.0.0.1:4000", "http://127.0.0.1:4000/v1/releases?channel=stable&limit=20",
         "http://127.0.0.1:4000/v1/releases/latest?channel=stable"},
        {"https://example.test//api//?debug=1", "https://example.test/api/v1/releases?channel=stable&limit=20",
         "https://example.test/api/v1/releases/latest?channel=stable"},
        {"", production + "/v1/releases?channel=stable&limit=20", production + "/v1/releases/latest?channel=stable"},
        {"relative/path", production + "/v1/releases?channel=stable&limit=20",
         production + "/v1/releases/latest?channel=stable"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BackendReleaseNotesFetcher::makeReleaseNotesURL(c.base, 20).toString(), c.list)
            << c.base.toStdString();
        EXPECT_EQ(ManualSoftwareUpdateChecker::makeLatestReleaseURL(c.base).toString(), c.latest)
            << c.base.toStdString();
    }

    const struct {
        QString web;
        QString expected;
    } pages[] = {
        {"https://example.test", "https://example.test/download"},
        {"https://example.test/site/", "https://example.test/site/download"},
        {"not an address", releaseservice::productionPublicWebAddress() + "/download"},
    };
    for (const auto& c : pages) {
        EXPECT_EQ(ManualSoftwareUpdateChecker::makeReleasePageURL(c.web).toString(), c.expected) << c.web.toStdString();
    }
}

TEST(VersionComparison, NumericComponentByComponentMissingOnesReadAsZero) {
    const struct {
        QString a;
        QString b;
        int expected;
    } cases[] = {
        {"1.10", "1.9", 1},
        {"1.2", "1.2.0", 0},
        {"1.3-beta2", "1.3.2", 0},
        // A run of number characters that are not ASCII digits, or too large a run, reads as 0.
        {QStringLiteral("1.\u0663.5"), "1.0.5", 0},
        {"2.99999999999999999999", "2.0", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ManualSoftwareUpdateChecker::compareVersionStrings(c.a, c.b), c.expected)
            << c.a.toStdString() << " vs " << c.b.toStdString();
        EXPECT_EQ(ManualSoftwareUpdateChecker::compareVersionStrings(c.b, c.a), -c.expected)
            << c.b.toStdString() << " vs " << c.a.toStdString();
    }
}

TEST(VersionComparison, BuildDecidesOnlyWhenVersionsAreEqual) {
    const struct {
        const char* latestVersion;
        const char* latestBuild;
        const char* currentVersion;
        const char* currentBuild;
        bool newer;
    } cases[] = {
        {"1.4.0", "60", "1.4", "57", true},
        {"1.4.0", "50", "1.4.1", "10", false},
        {"1.5", "1", "1.4", "999", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            ManualSoftwareUpdateChecker::isNewer(c.latestVersion, c.latestBuild, c.currentVersion, c.currentBuild),
            c.newer)
            << c.latestVersion << " (" << c.latestBuild << ") vs " << c.currentVersion << " (" << c.currentBuild << ")";
    }
}

}  // namespace
}  // namespace quorvelle
