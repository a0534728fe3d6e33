// What a screen reader hears from the overlay, every event as it came over the accessibility bus: the
// overlay's window is made for the first state, and that state is heard once; a state over within a
// moment is heard with its own words, and the outcome after it once.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "FakeBackendServer.h"
#include "FixtureApp.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include "Models/AppStrings.h"
#include "Services/Storage/SettingsKeys.h"

#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

namespace quorvelle::test {
namespace {

const QStringList kHotkey{"Control_L", "Alt_L", "space"};

// The titles heard, in order: what each showing of the notification said before its first ": ".
QStringList titlesHeard(const AnnouncementListener& listener) {
    QStringList titles;
    for (const QString& words : listener.heard())
        titles << words.section(u": "_qs, 0, 0);
    return titles;
}

bool overlayShown(bool shown) {
    return waitUntil(
        [=] {
            const auto windows = windowsOfClass(QStringLiteral("Quorvelle"));
            return std::ranges::any_of(windows, [](const DesktopWindow& w) {
                       return w.viewable && !w.inTray && w.geometry.width() == 416;
                   }) == shown;
        },
        30000);
}

TEST(OverlayAnnouncementDesktop, TheFirstStateOfAFreshOverlayIsHeardOnce) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    seedSignedInSession();
    AppUnderTest app;
    app.start();
    ASSERT_TRUE(app.waitUntilHotkeyRegistered(30000)) << app.standardError().toStdString();
    const AnnouncementListener listener(app.processId());
    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("First announcement"));
    fixture.focus(QStringLiteral("single"));
    ASSERT_TRUE(bringToFront(fixture.processId()));

    // Held for a moment without a word: recording, then the too-short recording's error. A showing
    // made before the words were set is heard too, with whatever words the notification has by then.
    QStringList expected;
    for (int press = 1; press <= 2; ++press) {
        SCOPED_TRACE(press);
        sendKeys(kHotkey, true);
        ASSERT_TRUE(overlayShown(true)) << app.eventLog();
        EXPECT_TRUE(waitUntil([&] { return titlesHeard(listener).count(u"Recording"_qs) >= press; }, 30000));
        sendKeys(kHotkey, false);
        expected << u"Recording"_qs << u"No speech detected"_qs;
        // The outcome is heard after every event of the recording's showing, which the bus keeps in order.
        EXPECT_TRUE(waitUntil([&] { return titlesHeard(listener).count(u"No speech detected"_qs) == press; }, 30000))
            << listener.heard().join(" | ").toStdString();
        EXPECT_EQ(titlesHeard(listener), expected) << listener.heard().join(" | ").toStdString();
        ASSERT_TRUE(overlayShown(false)) << app.eventLog();
    }
    clearStoredSession();
}

// Where a state is over within a moment (the upload to a backend that answers at once, the paste into
// a terminal, the upload a 429 ends), a reader still speaking reads its words after the next state
// came: each showing still says its own words, so the outcome is heard once and nothing twice.
TEST(OverlayAnnouncementDesktop, AnOutcomeAfterAShortStateIsHeardOnce) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    const QString xterm = QStandardPaths::findExecutable(QStringLiteral("xterm"));
    if (xterm.isEmpty()) GTEST_SKIP() << "xterm is not installed (scripts/install-deps installs it)";
    ASSERT_FALSE(TestMicrophone::speech().isEmpty()) << "espeak-ng and sox made no speech";
    const QString upload = QStringLiteral("/v1/transcriptions");
    const QByteArray answer = R"({"request_id":"req-1","text":"hello from the test backend"})";
    seedSignedInSession();
    const auto signOut = qScopeGuard(clearStoredSession);
    FakeBackendServer server;
    // Every upload from now on gets this answer.
    const auto answerUploads = [&](FakeResponse response) {
        server.clearScript();
        server.respond("POST", QStringLiteral("/v1/internal/log-events"), FakeResponse::json(202, "{}"));
        server.respond("POST", upload, std::move(response));
    };
    AppUnderTest app(server.baseUrl());
    // A terminal takes a paste, which the clipboard fallback allows.
    app.defaults().setBool(QString::fromLatin1(SettingsKeys::clipboardFallbackEnabled), true);
    app.start();
    ASSERT_TRUE(app.waitUntilHotkeyRegistered(30000)) << app.standardError().toStdString();
    // Each showing read as late as a reader busy with the one before may read it.
    const AnnouncementListener listener(app.processId(), std::chrono::milliseconds(400));
    TestMicrophone microphone;
    microphone.drain();

    const QString recording = u"Recording: Release to stop capture and start transcription."_qs;
    // What one dictation let the listener hear, from the press to the idle pill: the recording first,
    // the outcome (the words that start so) last, and no words twice.
    const auto dictate = [&](const QString& outcome) {
        const auto isOutcome = [&](const QString& words) { return words.startsWith(outcome); };
        const qsizetype from = listener.heard().size();
        sendKeys(kHotkey, true);
        EXPECT_TRUE(overlayShown(true)) << app.eventLog();
        // Heard before the speech keeps this thread from reading.
        EXPECT_TRUE(waitUntil([&] { return listener.heard().mid(from).contains(recording); }, 30000));
        microphone.speak(TestMicrophone::speech() + QByteArray(16000, '\0'));
        microphone.finish();
        sendKeys(kHotkey, false);
        EXPECT_TRUE(waitUntil([&] { return std::ranges::any_of(listener.heard().mid(from), isOutcome); }, 30000))
            << listener.heard().mid(from).join(" | ").toStdString() << "\n"
            << app.eventLog();
        // A second reading of the outcome would come a moment after the first, well before the idle pill.
        EXPECT_TRUE(overlayShown(false)) << app.eventLog();
        const QStringList heard = listener.heard().mid(from);
        EXPECT_EQ(QSet<QString>(heard.begin(), heard.end()).size(), heard.size()) << heard.join(" | ").toStdString();
        EXPECT_EQ(heard.value(0).toStdString(), recording.toStdString()) << heard.join(" | ").toStdString();
        EXPECT_TRUE(isOutcome(heard.value(heard.size() - 1))) << heard.join(" | ").toStdString();
        return heard;
    };

    // A direct write, the backend answering at once.
    {
        SCOPED_TRACE("direct write");
        answerUploads(FakeResponse::json(200, answer));
        FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("Outcome target"));
        fixture.focus(QStringLiteral("single"));
        ASSERT_TRUE(bringToFront(fixture.processId()));
        dictate(u"Text inserted: Metin eklendi."_qs);
        EXPECT_EQ(fixture.texts().value(QStringLiteral("single")).toString(), u"hello from the test backend"_qs);
    }

    // A paste into a terminal, the backend answering after a second: the upload is heard too.
    {
        SCOPED_TRACE("terminal paste");
        answerUploads(FakeResponse::json(200, answer).drip(std::chrono::milliseconds(1000 / 64)));
        QTemporaryDir directory;
        QProcess terminal;
        terminal.start(xterm, {QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
                               QStringLiteral("stty -icanon -echo; exec cat > \"$0\""),
                               directory.filePath(QStringLiteral("received"))});
        ASSERT_TRUE(terminal.waitForStarted());
        const auto stop = qScopeGuard([&] {
            terminal.kill();
            terminal.waitForFinished(2000);
        });
        ASSERT_TRUE(bringToFront(terminal.processId()));
        const QStringList heard = dictate(u"Paste sent: Yapıştırma gönderildi. Metin panoda tutuldu."_qs);
        EXPECT_TRUE(std::ranges::any_of(heard, [](const QString& words) {
            return words.startsWith(u"Uploading transcription: "_qs);
        })) << heard.join(" | ").toStdString();
    }

    // A failure the backend answers at once (its reason names the cooldown's length).
    {
        SCOPED_TRACE("fast failure");
        answerUploads(FakeResponse::json(429, R"({"title":"slow down","code":"RATE_LIMITED"})"));
        FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("Failure target"));
        fixture.focus(QStringLiteral("single"));
        ASSERT_TRUE(bringToFront(fixture.processId()));
        const AppStrings strings;
        const SessionState limited = SessionState::error(QuorvelleError(QuorvelleErrorCase::rateLimited));
        dictate(strings.sessionStateTitle(limited, std::nullopt) + u": "_qs);
    }
    std::cout << "heard: " << listener.heard().join(" | ").toStdString() << std::endl;
}

}  // namespace
}  // namespace quorvelle::test
