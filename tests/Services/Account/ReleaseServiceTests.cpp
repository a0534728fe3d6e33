#include "Services/Backend/BackendReleaseNotesFetcher.h"
#include "Services/Backend/BackendWireCoding.h"
#include "Services/Backend/DisabledReleaseNotesFetcher.h"
#include "Services/Backend/DisabledSoftwareUpdateChecker.h"
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

const QString kReleases = QStringLiteral("/v1/releases");
const QString kLatest = QStringLiteral("/v1/releases/latest");

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
    QList<ReleaseNoteEntry> fetch(const QString& language = QStringLiteral("tr")) {
        BackendReleaseNotesFetcher fetcher(&network, server.baseUrl().toString(), 20);
        return runTask(fetcher.fetchReleaseNotes(language));
    }

    SoftwareUpdateCheckResult check(const QString& version, const QString& build) {
        ManualSoftwareUpdateChecker checker(&network, server.baseUrl().toString(), "https://web.example.test", version,
                                            build);
        return runTask(checker.checkForUpdates());
    }

    template <typename Call>
    std::optional<WebRequestError::Case> webFailure(Call call) {
        try {
            call();
        } catch (const WebRequestError& error) {
            return error.errorCase();
        }
        return std::nullopt;
    }

    test::FakeBackendServer server;
    QNetworkAccessManager network;
};

TEST_F(ReleaseServiceTest, MapsEveryReleaseInOrderWithTheNotesOfTheBestLanguage) {
    server.respond(
        "GET", kReleases,
        FakeResponse::json(
            200,
            list({
                release(
                    R"({"en":{"summary":"English"},"tr":{"summary":"Turkce","categories":[{"label":"Yeni","items":["a","b"]}]}})",
                    {{"id", "rel-1"}, {"notes_summary", "top"}}),
                release(R"({"en":{"summary":"English"},"aa":{"summary":"first"}})"),
                release(R"({"aa":{"summary":"first"},"de":{"summary":"Deutsch"}})"),
                release(R"({})", {{"notes_summary", "release summary"}}),
                // Categories without a summary keep the release's summary; nothing is trimmed or dropped.
                release(R"({"tr":{"categories":[{"label":" Fixed ","items":[" one ",""]},{"label":"B","items":[]}]}})",
                        {{"notes_summary", "top"},
                         {"unknown", QJsonObject{{"nested", true}}},
                         {"released_at", "2026-03-01T12:00:00.250+02:00"}}),
            })));

    const QList<ReleaseNoteEntry> entries = fetch();

    ASSERT_EQ(entries.size(), 5);
    EXPECT_EQ(entries[0].id, "rel-1");
    EXPECT_EQ(entries[0].summary, "Turkce");
    EXPECT_EQ(entries[0].categories, (QList<ReleaseNoteCategory>{{"Yeni", {"a", "b"}}}));
    EXPECT_EQ(entries[0].releasedAt, QDateTime(QDate(2026, 3, 1), QTime(10, 0), QTimeZone::utc()));
    EXPECT_EQ(entries[1].summary, "English");
    EXPECT_EQ(entries[2].summary, "first");
    EXPECT_EQ(entries[3].id, "1.4.0-57-stable");
    EXPECT_EQ(entries[3].summary, "release summary");
    EXPECT_TRUE(entries[3].categories.isEmpty());
    EXPECT_EQ(entries[4].summary, "top");
    EXPECT_EQ(entries[4].categories, (QList<ReleaseNoteCategory>{{" Fixed ", {" one ", ""}}, {"B", {}}}));
    EXPECT_EQ(entries[4].releasedAt, QDateTime(QDate(2026, 3, 1), QTime(10, 0, 0, 250), QTimeZone::utc()));

    // A plain GET: none of the backend client's headers, no authorisation.
    const test::RecordedRequest& sent = server.requests().at(0);
    EXPECT_FALSE(sent.hasHeader("Authorization"));
    EXPECT_FALSE(sent.hasHeader("X-Request-ID"));
}

TEST_F(ReleaseServiceTest, OneBadReleaseFailsTheWholeList) {
    const QJsonObject good = release("{}");
    QJsonObject withoutNotes = good;
    withoutNotes.remove("notes_body");
    const char* const dateMessage = "Date string is not valid ISO-8601.";
    const struct {
        const char* why;
        QByteArray body;
        const char* message;
    } cases[] = {
        {"date without zone", list({good, release("{}", {{"released_at", "2026-03-01T10:00:00"}})}), dateMessage},
        {"build is a number", list({good, release("{}", {{"build", 57}})}), nullptr},
        {"notes_body missing", list({good, withoutNotes}), nullptr},
    };
    for (const auto& c : cases) {
        server.clearScript();
        server.respond("GET", kReleases, FakeResponse::json(200, c.body));
        try {
            fetch();
            ADD_FAILURE() << c.why << ": fetch succeeded";
        } catch (const WireDecodingError& error) {
            if (c.message) {
                EXPECT_STREQ(error.what(), c.message) << c.why;
            }
        }
    }
}

TEST_F(ReleaseServiceTest, UpdateCheckComparesWithTheRunningProgram) {
    server.respond(
        "GET", kLatest,
        FakeResponse::json(200, R"({"version":"1.4.0","build":"60","download_url":"https://x.test/q.deb"})"));
    const SoftwareUpdateCheckResult newer = check("1.4", "57");
    EXPECT_EQ(newer,
              (SoftwareUpdateCheckResult{SoftwareUpdateCheckResult::Status::updateAvailable, "1.4.0", "60",
                                         QUrl("https://x.test/q.deb"), QUrl("https://web.example.test/download")}));
    EXPECT_EQ(check("1.4.1", "10").status, SoftwareUpdateCheckResult::Status::upToDate);
    EXPECT_FALSE(server.requests().at(0).hasHeader("Authorization"));

    // An address that does not parse, or is no web address, is left out; a missing one fails the check.
    for (const QByteArray& address :
         {QByteArray("not a url"), QByteArray("q.deb"), QByteArray("file:///etc/passwd"), QByteArray("https:q.deb")}) {
        server.clearScript();
        server.respond("GET", kLatest,
                       FakeResponse::json(200, R"({"version":"2","build":"1","download_url":")" + address + "\"}"));
        EXPECT_EQ(check("1", "1").downloadURL, std::nullopt) << address.toStdString();
    }
    server.clearScript();
    server.respond("GET", kLatest, FakeResponse::json(200, R"({"version":"2","build":"1"})"));
    EXPECT_THROW(check("1", "1"), WireDecodingError);
}

TEST_F(ReleaseServiceTest, StatusesOutside2xxAndTransportFailures) {
    const QByteArray validList = list({release("{}")});
    const QByteArray validLatest = R"({"version":"9","build":"9","download_url":"https://x.test/q.deb"})";
    const struct {
        const char* why;
        int status;
        WebRequestError::Case expected;
    } cases[] = {
        {"404 with a valid body", 404, WebRequestError::Case::badServerResponse},
        {"dropped connection", 0, WebRequestError::Case::transportFailure},
    };
    for (const auto& c : cases) {
        server.clearScript();
        server.respond("GET", kReleases,
                       c.status ? FakeResponse::json(c.status, validList) : FakeResponse::dropConnection());
        server.respond("GET", kLatest,
                       c.status ? FakeResponse::json(c.status, validLatest) : FakeResponse::dropConnection());
        EXPECT_EQ(webFailure([&] { fetch(); }), c.expected) << c.why;
        EXPECT_EQ(webFailure([&] { check("1.0", "1"); }), c.expected) << c.why;
    }

    const qsizetype sent = server.requests().size();
    DisabledReleaseNotesFetcher disabledFetcher;
    DisabledSoftwareUpdateChecker disabledChecker;
    EXPECT_FALSE(disabledChecker.isEnabled());
    EXPECT_EQ(webFailure([&] { runTask(disabledFetcher.fetchReleaseNotes("en")); }),
              WebRequestError::Case::unsupportedURL);
    EXPECT_EQ(webFailure([&] { runTask(disabledChecker.checkForUpdates()); }), WebRequestError::Case::unsupportedURL);
    EXPECT_EQ(server.requests().size(), sent);
}

}  // namespace
}  // namespace quorvelle
