#include "Platform/Linux/TcpConnectionReading.h"
#include "Services/Backend/BackendReleaseNotesFetcher.h"
#include "Services/Backend/BackendWireCoding.h"
#include "Services/Backend/ManualSoftwareUpdateChecker.h"
#include "Services/Backend/WebRequestError.h"
#include "Support/FakeBackendServer.h"
#include "Support/TestEventLoop.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FakeResponse;
using test::runTask;
using Checker = ManualSoftwareUpdateChecker;

const QString kReleases = "/v1/releases";
const QString kLatest = "/v1/releases/latest";

TEST(VersionComparison, NumericComponentByComponentAndTheBuildOnlyWhenVersionsAreEqual) {
    // A run of number characters that are not ASCII digits, or too large a run, reads as 0.
    const std::tuple<QString, QString, int> versions[] = {{"1.10", "1.9", 1},
                                                          {"1.2", "1.2.0", 0},
                                                          {"1.3-beta2", "1.3.2", 0},
                                                          {QStringLiteral("1.\u0663.5"), "1.0.5", 0},
                                                          {"2.99999999999999999999", "2.0", 0}};
    for (const auto& [a, b, expected] : versions) {
        EXPECT_EQ(Checker::compareVersionStrings(a, b), expected) << a.toStdString() << " " << b.toStdString();
        EXPECT_EQ(Checker::compareVersionStrings(b, a), -expected) << b.toStdString();
    }
    EXPECT_TRUE(Checker::isNewer("1.5", "1", "1.4", "999"));  // the build counts only between equal versions
}

// A valid release with the given notes_body; each further field replaces one.
QJsonObject release(const QByteArray& notesBody, const QJsonObject& fields = {}) {
    QJsonObject object{{"channel", "stable"},
                       {"version", "1.4.0"},
                       {"build", "57"},
                       {"released_at", "2026-03-01T10:00:00Z"},
                       {"notes_body", QJsonDocument::fromJson(notesBody).object()}};
    for (auto it = fields.begin(); it != fields.end(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

QByteArray list(const QJsonArray& releases) {
    return QJsonDocument(QJsonObject{{"releases", releases}}).toJson();
}

class ReleaseServiceTest : public ::testing::Test {
protected:
    QList<ReleaseNoteEntry> fetch() {
        BackendReleaseNotesFetcher fetcher(&network, server.baseUrl().toString(), 20);
        return runTask(fetcher.fetchReleaseNotes("tr"));
    }
    SoftwareUpdateCheckResult check(const QString& version, const QString& build) {
        Checker checker(&network, server.baseUrl().toString(), "https://web.example.test", version, build);
        return runTask(checker.checkForUpdates());
    }
    void answer(const QString& path, const FakeResponse& response) {
        server.clearScript();
        server.respond("GET", path, response);
    }

    test::FakeBackendServer server;
    QNetworkAccessManager network;
};

TEST_F(ReleaseServiceTest, MapsEveryReleaseInOrderWithTheNotesOfTheBestLanguage) {
    const QByteArray turkish =
        R"({"en":{"summary":"English"},"tr":{"summary":"Turkce","categories":[{"label":"Yeni","items":["a","b"]}]}})";
    // Categories without a summary keep the release's summary; nothing is trimmed or dropped.
    const QByteArray categoriesOnly =
        R"({"tr":{"categories":[{"label":" Fixed ","items":[" one ",""]},{"label":"B","items":[]}]}})";
    answer(kReleases,
           FakeResponse::json(
               200, list({
                        release(turkish, {{"id", "rel-1"}, {"notes_summary", "top"}}),
                        release(R"({"aa":{"summary":"first"},"de":{"summary":"Deutsch"}})"),
                        release(R"({})", {{"notes_summary", "release summary"}}),
                        release(categoriesOnly, {{"notes_summary", "top"}, {"unknown", QJsonObject{{"nested", true}}}}),
                    })));
    const QList<ReleaseNoteEntry> entries = fetch();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(
        std::tuple(entries[0].id, entries[0].summary, entries[0].releasedAt),
        std::tuple(QString("rel-1"), QString("Turkce"), QDateTime(QDate(2026, 3, 1), QTime(10, 0), QTimeZone::utc())));
    EXPECT_EQ(entries[0].categories, (QList<ReleaseNoteCategory>{{"Yeni", {"a", "b"}}}));
    EXPECT_EQ(entries[1].summary, "first");
    EXPECT_EQ(std::tuple(entries[2].id, entries[2].summary),
              std::tuple(QString("1.4.0-57-stable"), QString("release summary")));
    EXPECT_TRUE(entries[2].categories.isEmpty());
    EXPECT_EQ(entries[3].summary, "top");
    EXPECT_EQ(entries[3].categories, (QList<ReleaseNoteCategory>{{" Fixed ", {" one ", ""}}, {"B", {}}}));
    // A plain GET: none of the backend client's headers, no authorisation.
    EXPECT_FALSE(server.requests().at(0).hasHeader("Authorization") ||
                 server.requests().at(0).hasHeader("X-Request-ID"));
}

TEST_F(ReleaseServiceTest, OneBadReleaseFailsTheWholeList) {
    QJsonObject withoutNotes = release("{}");
    withoutNotes.remove("notes_body");
    for (const QJsonObject& bad :
         {release("{}", {{"released_at", "2026-03-01T10:00:00"}}), release("{}", {{"build", 57}}), withoutNotes}) {
        answer(kReleases, FakeResponse::json(200, list({release("{}"), bad})));
        EXPECT_THROW(fetch(), WireDecodingError);
    }
}

TEST_F(ReleaseServiceTest, UpdateCheckComparesWithTheRunningProgram) {
    answer(kLatest,
           FakeResponse::json(200, R"({"version":"1.4.0","build":"60","download_url":"https://x.test/q.deb"})"));
    EXPECT_EQ(check("1.4", "57"),
              (SoftwareUpdateCheckResult{SoftwareUpdateCheckResult::Status::updateAvailable, "1.4.0", "60",
                                         QUrl("https://x.test/q.deb"), QUrl("https://web.example.test/download")}));
    EXPECT_EQ(check("1.4.1", "10").status, SoftwareUpdateCheckResult::Status::upToDate);
    EXPECT_FALSE(server.requests().at(0).hasHeader("Authorization"));

    for (const QByteArray address : {"not a url", "q.deb", "file:///etc/passwd", "https:q.deb"}) {
        answer(kLatest, FakeResponse::json(200, R"({"version":"2","build":"1","download_url":")" + address + "\"}"));
        EXPECT_EQ(check("1", "1").downloadURL, std::nullopt) << address.toStdString();
    }
    answer(kLatest, FakeResponse::json(200, R"({"version":"2","build":"1"})"));
    EXPECT_THROW(check("1", "1"), WireDecodingError);
}

// A plain GET whose answer is not 2xx; its transport failures are those of every plain GET.
TEST_F(ReleaseServiceTest, AStatusOutside2xxIsABadServerResponseEvenWithAValidBody) {
    answer(kReleases, FakeResponse::json(404, list({release("{}")})));
    server.respond("GET", kLatest,
                   FakeResponse::json(404, R"({"version":"9","build":"9","download_url":"https://x.test/q.deb"})"));
    BackendReleaseNotesFetcher fetcher(&network, server.baseUrl().toString(), 20);
    Checker checker(&network, server.baseUrl().toString(), "https://web.example.test", "1.0", "1");
    for (const auto& failure : {test::failureOf<WebRequestError>(fetcher.fetchReleaseNotes("tr")),
                                test::failureOf<WebRequestError>(checker.checkForUpdates())})
        EXPECT_TRUE(failure && failure->errorCase() == WebRequestError::Case::badServerResponse);
}

// Each request lends the shared connection reader to its watch and gives it back whole: checks and
// loads, succeeding or failing, leave its owners as they were (one lost a call freed it under the
// backend clients after a few).
TEST_F(ReleaseServiceTest, ChecksAndLoadsKeepTheConnectionReadersOwners) {
    const auto connections = std::make_shared<TcpConnectionReading>();
    BackendReleaseNotesFetcher fetcher(&network, server.baseUrl().toString(), 20, connections);
    Checker checker(&network, server.baseUrl().toString(), "https://web.example.test", "1.0", "1", connections);
    const long owners = connections.use_count();
    for (int call = 0; call < 20; ++call) {
        const int status = call % 2 == 0 ? 200 : 503;
        answer(kReleases, FakeResponse::json(status, list({release("{}")})));
        server.respond("GET", kLatest,
                       FakeResponse::json(status, R"({"version":"2","build":"1","download_url":"https://x.test/q"})"));
        EXPECT_EQ(test::failureOf<WebRequestError>(fetcher.fetchReleaseNotes("tr")).has_value(), status != 200);
        EXPECT_EQ(connections.use_count(), owners) << "after release notes load " << call;
        EXPECT_EQ(test::failureOf<WebRequestError>(checker.checkForUpdates()).has_value(), status != 200);
        ASSERT_EQ(connections.use_count(), owners) << "after update check " << call;
    }
}

}  // namespace
}  // namespace quorvelle
