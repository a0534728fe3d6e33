#include "Services/Backend/BackendReleaseNotesFetcher.h"
#include "Services/Backend/BackendWireCoding.h"
#include "Services/Backend/DisabledReleaseNotesFetcher.h"
#include "Services/Backend/DisabledSoftwareUpdateChecker.h"
#include "Services/Backend/ManualSoftwareUpdateChecker.h"
#include "Services/Backend/WebRequestError.h"
#include "Support/FakeBackendServer.h"
#include "Support/TestEventLoop.h"

#include <QNetworkAccessManager>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FakeBackendServer;
using test::FakeResponse;
using test::runTask;

const QString kReleases = QStringLiteral("/v1/releases");
const QString kLatest = QStringLiteral("/v1/releases/latest");

QDateTime utc(int year, int month, int day, int hour, int minute, int second, int ms = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms), QTimeZone::utc());
}

// A release object with the given notes_body and extra fields, valid otherwise.
QByteArray release(const QByteArray& notesBody, const QByteArray& extra = {}) {
    return R"({"channel":"stable","version":"1.4.0","build":"57","released_at":"2026-03-01T10:00:00Z",)"
           R"("notes_body":)" + notesBody + extra + "}";
}

QByteArray list(const QList<QByteArray>& releases) {
    QByteArray joined;
    for (const QByteArray& r : releases) joined += (joined.isEmpty() ? "" : ",") + r;
    return R"({"releases":[)" + joined + "]}";
}

class ReleaseServiceTest : public ::testing::Test {
protected:
    QList<ReleaseNoteEntry> fetch(const QString& language = QStringLiteral("tr")) {
        BackendReleaseNotesFetcher fetcher(&manager, server.baseUrl().toString(), 20);
        return runTask(fetcher.fetchReleaseNotes(language));
    }

    SoftwareUpdateCheckResult check(const QString& version, const QString& build) {
        ManualSoftwareUpdateChecker checker(&manager, server.baseUrl().toString(), "https://web.example.test",
                                            version, build);
        return runTask(checker.checkForUpdates());
    }

    template <typename Call>
    WebRequestError::Case webFailure(Call call) {
        try {
            call();
        } catch (const WebRequestError& error) {
            return error.errorCase();
        }
        ADD_FAILURE() << "no WebRequestError";
        return WebRequestError::Case::unsupportedURL;
    }

    FakeBackendServer server;
    QNetworkAccessManager manager;
};

TEST_F(ReleaseServiceTest, MapsEveryReleaseInOrderWithTheNotesOfTheBestLanguage) {
    server.respond("GET", kReleases, FakeResponse::json(200, list({
        // The requested language wins over "en".
        release(R"({"en":{"summary":"English"},"tr":{"summary":"Turkce","categories":[{"label":"Yeni","items":["a","b"]}]}})",
                R"(,"id":"rel-1","notes_summary":"top")"),
        // Only a locale that is neither asked for, nor "en", nor "tr".
        release(R"({"de":{"summary":"Deutsch","categories":[{"label":"Neu","items":["x"]}]}})"),
        // No notes at all: the release's own summary, no categories, an id made of its fields.
        release(R"({})", R"(,"notes_summary":"fallback summary")"),
        // Categories without a summary keep the release's summary; nothing is trimmed.
        release(R"({"en":{"categories":[{"label":" Fixed ","items":[" one ",""]},{"label":"B","items":[]}]}})",
                R"(,"notes_summary":"top","unknown":{"nested":true})"),
    })));

    const QList<ReleaseNoteEntry> entries = fetch();

    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0].id, "rel-1");
    EXPECT_EQ(entries[0].summary, "Turkce");
    EXPECT_EQ(entries[0].categories, (QList<ReleaseNoteCategory>{{"Yeni", {"a", "b"}}}));
    EXPECT_EQ(entries[0].releasedAt, utc(2026, 3, 1, 10, 0, 0));
    EXPECT_EQ(entries[1].summary, "Deutsch");
    EXPECT_EQ(entries[1].categories, (QList<ReleaseNoteCategory>{{"Neu", {"x"}}}));
    EXPECT_EQ(entries[2].id, "1.4.0-57-stable");
    EXPECT_EQ(entries[2].summary, "fallback summary");
    EXPECT_TRUE(entries[2].categories.isEmpty());
    EXPECT_EQ(entries[3].summary, "top");
    EXPECT_EQ(entries[3].categories,
              (QList<ReleaseNoteCategory>{{" Fixed ", {" one ", ""}}, {"B", {}}}));
    for (const ReleaseNoteEntry& entry : entries) {
        EXPECT_EQ(entry.version, "1.4.0");
        EXPECT_EQ(entry.build, "57");
        EXPECT_EQ(entry.channel, "stable");
    }

    // A plain GET: the list's query, none of the backend client's headers, no authorisation.
    ASSERT_EQ(server.requests().size(), 1);
    const auto& sent = server.requests().at(0);
    EXPECT_EQ(sent.method, "GET");
    EXPECT_EQ(sent.rawQuery, "channel=stable&limit=20");
    EXPECT_FALSE(sent.hasHeader("Authorization"));
    EXPECT_FALSE(sent.hasHeader("X-Request-ID"));
    EXPECT_FALSE(sent.hasHeader("X-Quorvelle-App-Version"));
}

TEST_F(ReleaseServiceTest, EnglishThenTurkishStandInForAMissingLanguage) {
    server.respond("GET", kReleases, FakeResponse::json(200, list({
        release(R"({"tr":{"summary":"Turkce"},"en":{"summary":"English"},"aa":{"summary":"first"}})"),
        release(R"({"tr":{"summary":"Turkce"},"aa":{"summary":"first"}})"),
    })));
    const QList<ReleaseNoteEntry> entries = fetch(QStringLiteral("de"));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].summary, "English");
    EXPECT_EQ(entries[1].summary, "Turkce");
}

TEST_F(ReleaseServiceTest, DatesWithAZoneDecodeWithOrWithoutFractions) {
    server.respond("GET", kReleases, FakeResponse::json(200, list({
        R"({"channel":"stable","version":"1","build":"1","notes_body":{},"released_at":"2026-03-01T10:00:00.250Z"})",
        R"({"channel":"stable","version":"1","build":"1","notes_body":{},"released_at":"2026-03-01T12:00:00+02:00"})",
    })));
    const QList<ReleaseNoteEntry> entries = fetch();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].releasedAt, utc(2026, 3, 1, 10, 0, 0, 250));
    EXPECT_EQ(entries[1].releasedAt, utc(2026, 3, 1, 10, 0, 0));
}

TEST_F(ReleaseServiceTest, OneBadReleaseFailsTheWholeList) {
    const QByteArray good = release("{}");
    const struct {
        const char* why;
        QByteArray body;
        std::string message;
    } cases[] = {
        {"no zone", list({good, R"({"channel":"stable","version":"1","build":"1","notes_body":{},"released_at":"2026-03-01T10:00:00"})"}),
         "Date string is not valid ISO-8601."},
        {"date only", list({R"({"channel":"stable","version":"1","build":"1","notes_body":{},"released_at":"2026-03-01"})", good}),
         "Date string is not valid ISO-8601."},
        {"no build", list({good, R"({"channel":"stable","version":"1","notes_body":{},"released_at":"2026-03-01T10:00:00Z"})"}), ""},
        {"build is a number", list({good, R"({"channel":"stable","version":"1","build":1,"notes_body":{},"released_at":"2026-03-01T10:00:00Z"})"}), ""},
        {"notes_body missing", list({good, R"({"channel":"stable","version":"1","build":"1","released_at":"2026-03-01T10:00:00Z"})"}), ""},
        {"item not a string", list({good, release(R"({"en":{"categories":[{"label":"A","items":["x",3]}]}})")}), ""},
        {"category without items", list({good, release(R"({"en":{"categories":[{"label":"A"}]}})")}), ""},
        {"locale body not an object", list({good, release(R"({"en":"text"})")}), ""},
        {"no releases key", R"({"items":[]})", ""},
        {"not JSON", "<html>", ""},
    };
    for (const auto& c : cases) {
        server.clearScript();
        server.respond("GET", kReleases, FakeResponse::json(200, c.body));
        try {
            fetch();
            ADD_FAILURE() << c.why << ": fetch succeeded";
        } catch (const WireDecodingError& error) {
            if (!c.message.empty()) {
                EXPECT_EQ(error.what(), c.message) << c.why;
            }
        }
    }
}

TEST_F(ReleaseServiceTest, AnEmptyListIsNoFailure) {
    server.respond("GET", kReleases, FakeResponse::json(200, R"({"releases":[]})"));
    EXPECT_TRUE(fetch().isEmpty());
}

TEST_F(ReleaseServiceTest, NonSuccessStatusesAndTransportFailures) {
    const QByteArray validList = list({release("{}")});
    const QByteArray validLatest = R"({"version":"9","build":"9","download_url":"https://x.test/q.deb"})";
    const struct {
        const char* why;
        FakeResponse response;
        WebRequestError::Case expected;
    } cases[] = {
        {"404 with a valid body", FakeResponse::json(404, validList), WebRequestError::Case::badServerResponse},
        {"500", FakeResponse::json(500, R"({"title":"boom"})"), WebRequestError::Case::badServerResponse},
        {"300", FakeResponse::json(300, validList), WebRequestError::Case::badServerResponse},
        {"dropped", FakeResponse::dropConnection(), WebRequestError::Case::transportFailure},
    };
    for (const auto& c : cases) {
        server.clearScript();
        server.respond("GET", kReleases, c.response);
        server.respond("GET", kLatest, c.response);
        EXPECT_EQ(webFailure([&] { fetch(); }), c.expected) << c.why;
        EXPECT_EQ(webFailure([&] { check("1.0", "1"); }), c.expected) << c.why;
    }
    server.close();
    EXPECT_EQ(webFailure([&] { fetch(); }), WebRequestError::Case::transportFailure);
}

TEST_F(ReleaseServiceTest, UpdateCheckComparesWithTheRunningProgram) {
    server.respond("GET", kLatest,
                   FakeResponse::json(200, R"({"version":"1.4.0","build":"60","download_url":"https://x.test/q.deb","extra":1})"));

    const SoftwareUpdateCheckResult newer = check("1.4", "57");
    EXPECT_EQ(newer.status, SoftwareUpdateCheckResult::Status::updateAvailable);
    EXPECT_EQ(newer.latestVersion, "1.4.0");
    EXPECT_EQ(newer.latestBuild, "60");
    EXPECT_EQ(newer.downloadURL, QUrl("https://x.test/q.deb"));
    EXPECT_EQ(newer.releasePageURL, QUrl("https://web.example.test/download"));

    EXPECT_EQ(check("1.4.1", "10").status, SoftwareUpdateCheckResult::Status::upToDate);
    EXPECT_EQ(check("1.4.0", "60").status, SoftwareUpdateCheckResult::Status::upToDate);

    ASSERT_EQ(server.requests().size(), 3);
    const auto& sent = server.requests().at(0);
    EXPECT_EQ(sent.rawQuery, "channel=stable");
    EXPECT_FALSE(sent.hasHeader("Authorization"));
    EXPECT_FALSE(sent.hasHeader("X-Request-ID"));
}

TEST_F(ReleaseServiceTest, AnUnparsableDownloadAddressIsNoFailureButAMissingOneIs) {
    server.respond("GET", kLatest, FakeResponse::json(200, R"({"version":"2","build":"1","download_url":"not a url"})"));
    const SoftwareUpdateCheckResult result = check("1", "1");
    EXPECT_EQ(result.status, SoftwareUpdateCheckResult::Status::updateAvailable);
    EXPECT_FALSE(result.downloadURL.has_value());
    EXPECT_EQ(result.releasePageURL, QUrl("https://web.example.test/download"));

    for (const QByteArray& body : {QByteArray(R"({"version":"2","build":"1"})"),
                                   QByteArray(R"({"version":"2","download_url":"https://x.test"})"),
                                   QByteArray(R"({"version":2,"build":"1","download_url":"https://x.test"})")}) {
        server.clearScript();
        server.respond("GET", kLatest, FakeResponse::json(200, body));
        EXPECT_THROW(check("1", "1"), WireDecodingError) << body.toStdString();
    }
}

TEST_F(ReleaseServiceTest, DisabledVariantsFailWithoutTouchingTheNetwork) {
    DisabledReleaseNotesFetcher fetcher;
    DisabledSoftwareUpdateChecker checker;
    EXPECT_FALSE(checker.isEnabled());
    EXPECT_EQ(webFailure([&] { runTask(fetcher.fetchReleaseNotes(QStringLiteral("en"))); }),
              WebRequestError::Case::unsupportedURL);
    EXPECT_EQ(webFailure([&] { runTask(checker.checkForUpdates()); }), WebRequestError::Case::unsupportedURL);

    ManualSoftwareUpdateChecker manual(&manager, "", "", "0", "0");
    EXPECT_TRUE(manual.isEnabled());
    EXPECT_TRUE(server.requests().isEmpty());
}

}  // namespace
}  // namespace quorvelle
