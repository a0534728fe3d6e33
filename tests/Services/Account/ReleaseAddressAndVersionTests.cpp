#include "Services/Backend/BackendReleaseNotesFetcher.h"
#include "Services/Backend/ManualSoftwareUpdateChecker.h"
#include "Services/Backend/ReleaseServiceAddress.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

const QString kProduction = releaseservice::productionBackendBaseAddress();
const QString kPublicWeb = releaseservice::productionPublicWebAddress();

TEST(ReleaseAddresses, ReleaseListJoinsThePathAndSetsChannelThenLimit) {
    const struct {
        QString base;
        int limit;
        QString expected;
    } cases[] = {
        {"http://127.0.0.1:4000", 20, "http://127.0.0.1:4000/v1/releases?channel=stable&limit=20"},
        {"http://127.0.0.1:4000/", 20, "http://127.0.0.1:4000/v1/releases?channel=stable&limit=20"},
        {"https://example.test/api", 5, "https://example.test/api/v1/releases?channel=stable&limit=5"},
        {"https://example.test//api//", 20, "https://example.test/api/v1/releases?channel=stable&limit=20"},
        // A query of the base address is replaced, not kept.
        {"https://example.test/?debug=1", 20, "https://example.test/v1/releases?channel=stable&limit=20"},
        {"", 20, kProduction + "/v1/releases?channel=stable&limit=20"},
        {"not an address", 20, kProduction + "/v1/releases?channel=stable&limit=20"},
        {"relative/path", 20, kProduction + "/v1/releases?channel=stable&limit=20"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BackendReleaseNotesFetcher::makeReleaseNotesURL(c.base, c.limit).toString(), c.expected)
            << c.base.toStdString();
    }
}

TEST(ReleaseAddresses, LatestReleaseAndDownloadPage) {
    const struct {
        QString base;
        QString expected;
    } latest[] = {
        {"http://127.0.0.1:4000", "http://127.0.0.1:4000/v1/releases/latest?channel=stable"},
        {"http://127.0.0.1:4000/", "http://127.0.0.1:4000/v1/releases/latest?channel=stable"},
        {"https://example.test/api/", "https://example.test/api/v1/releases/latest?channel=stable"},
        {"", kProduction + "/v1/releases/latest?channel=stable"},
    };
    for (const auto& c : latest) {
        EXPECT_EQ(ManualSoftwareUpdateChecker::makeLatestReleaseURL(c.base).toString(), c.expected)
            << c.base.toStdString();
    }

    const struct {
        QString web;
        QString expected;
    } pages[] = {
        {"http://127.0.0.1:3000", "http://127.0.0.1:3000/download"},
        {"https://example.test/", "https://example.test/download"},
        {"https://example.test/site", "https://example.test/site/download"},
        {"https://example.test/site/", "https://example.test/site/download"},
        {"", kPublicWeb + "/download"},
        {"::", kPublicWeb + "/download"},
    };
    for (const auto& c : pages) {
        EXPECT_EQ(ManualSoftwareUpdateChecker::makeReleasePageURL(c.web).toString(), c.expected)
            << c.web.toStdString();
    }
}

TEST(VersionComparison, ComponentsSplitAtEveryNonNumberCharacter) {
    const struct {
        QString text;
        QList<qint64> expected;
    } cases[] = {
        {"1.4.0", {1, 4, 0}},
        {"1.3-beta2", {1, 3, 2}},
        {"Version 14.2 (Build 23C64)", {14, 2, 23, 64}},
        {"..1..2..", {1, 2}},
        {"release", {}},
        {"", {}},
        // A number character outside the ASCII digits is a component that reads as 0.
        {QStringLiteral("1.\u0663.5"), {1, 0, 5}},
        {"2.99999999999999999999", {2, 0}},
        {"9223372036854775807", {9223372036854775807LL}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ManualSoftwareUpdateChecker::versionComponents(c.text), c.expected) << c.text.toStdString();
    }
}

TEST(VersionComparison, NumericComponentByComponent) {
    const struct {
        QString a;
        QString b;
        int expected;
    } cases[] = {
        {"1.10", "1.9", 1},     {"1.9", "1.10", -1},  {"1.2", "1.2.0", 0}, {"1.2.0.1", "1.2", 1},
        {"2.0", "10.0", -1},    {"1.3-beta2", "1.3.2", 0}, {"", "0", 0},   {"0.0.1", "", 1},
        {"57", "60", -1},       {"v2", "1.9", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ManualSoftwareUpdateChecker::compareVersionStrings(c.a, c.b), c.expected)
            << c.a.toStdString() << " vs " << c.b.toStdString();
    }
}

TEST(VersionComparison, BuildDecidesOnlyWhenVersionsAreEqual) {
    const struct {
        QString latestVersion, latestBuild, currentVersion, currentBuild;
        bool newer;
    } cases[] = {
        {"1.4.0", "60", "1.4", "57", true},
        {"1.4.0", "50", "1.4.1", "10", false},
        {"2.0", "1", "10.0", "1", false},
        {"1.4", "57", "1.4.0", "57", false},
        {"1.4", "56", "1.4", "57", false},
        {"0.0.1", "1", "0", "0", true},
        {"1.5", "1", "1.4", "999", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ManualSoftwareUpdateChecker::isNewer(c.latestVersion, c.latestBuild, c.currentVersion,
                                                       c.currentBuild),
                  c.newer)
            << c.latestVersion.toStdString() << " (" << c.latestBuild.toStdString() << ") vs "
            << c.currentVersion.toStdString() << " (" << c.currentBuild.toStdString() << ")";
    }
}

}  // namespace
}  // namespace quorvelle
