// The real quorvelle executable in the test desktop: the hot key held while the test microphone
// speaks, the fake backend's transcript processed and delivered into other applications.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "FakeBackendServer.h"
#include "FixtureApp.h"
#include "PrivateXServer.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include "App/LiveBootstrap.h"
#include "Models/AppStrings.h"
#include "Models/LocalModelInstallationRecord.h"
#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"
#include "Services/Storage/SettingsKeys.h"
#include "TinyWhisperModel.h"

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <atspi/atspi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <iostream>
#include <memory>

namespace quorvelle::test {
namespace {

const QStringList kHotkey{"Control_L", "Alt_L", "space"};
const QString kUploadPath = QStringLiteral("/v1/transcriptions");
const QString kAppClass = QStringLiteral("Quorvelle");
const QString kSingle = QStringLiteral("single");
// Bounds for what a loaded machine may take; met in a second or two when it is idle.
constexpr int kLong = 30000;

bool skipOutsideTheTestDesktop() {
    return qgetenv("QUORVELLE_DESKTOP_ENV") != "1";
}

// The panel is 416 wide, and 228 high or taller for a long title or detail.
bool overlayShown(bool shown, int timeoutMs) {
    return waitUntil(
        [=] {
            const auto windows = windowsOfClass(kAppClass);
            return std::any_of(windows.begin(), windows.end(), [](const DesktopWindow& w) {
                       return w.viewable && !w.inTray && w.geometry.width() == 416 && w.geometry.height() >= 228;
                   }) == shown;
        },
        timeoutMs);
}

// A viewable window of the app that `wanted` accepts, waited for.
std::optional<DesktopWindow> appWindow(const std::function<bool(const DesktopWindow&)>& wanted, int timeoutMs = kLong) {
    std::optional<DesktopWindow> found;
    waitUntil(
        [&] {
            for (const DesktopWindow& window : windowsOfClass(kAppClass))
                if (window.viewable && wanted(window)) found = window;
            return found.has_value();
        },
        timeoutMs);
    return found;
}

// The boxes of the texts the app's overlay panel (416 wide) shows, as the accessibility bus gives them.
QList<std::pair<QString, QRect>> overlayTextBoxes(qint64 processId) {
    atspi_init();
    QList<std::pair<QString, QRect>> boxes;
    const auto own = [](auto* object) {
        return std::unique_ptr<std::remove_pointer_t<decltype(object)>, void (*)(void*)>(object, g_free);
    };
    std::function<void(AtspiAccessible*, int, bool)> walk = [&](AtspiAccessible* parent, int depth, bool inPanel) {
        for (int i = 0; i < atspi_accessible_get_child_count(parent, nullptr); ++i) {
            const std::unique_ptr<AtspiAccessible, void (*)(gpointer)> child(
                atspi_accessible_get_child_at_index(parent, i, nullptr), g_object_unref);
            if (!child || (depth == 0 && atspi_accessible_get_process_id(child.get(), nullptr) != guint(processId)))
                continue;
            const auto box =
                own(atspi_component_get_extents(ATSPI_COMPONENT(child.get()), ATSPI_COORD_TYPE_SCREEN, nullptr));
            if (!box) continue;
            const QRect rect(box->x, box->y, box->width, box->height);
            const bool panel = inPanel || (depth == 1 && rect.width() == 416);
            const auto name = own(atspi_accessible_get_name(child.get(), nullptr));
            // The panel's own label spans all of it; the notification is a point.
            if (panel && depth > 1 && atspi_accessible_get_role(child.get(), nullptr) == ATSPI_ROLE_LABEL &&
                rect.width() < 416)
                boxes.append({QString::fromUtf8(name.get()), rect});
            if (depth < 8 && (depth < 1 || panel)) walk(child.get(), depth + 1, panel);
        }
    };
    const std::unique_ptr<AtspiAccessible, void (*)(gpointer)> desktop(atspi_get_desktop(0), g_object_unref);
    walk(desktop.get(), 0, false);
    return boxes;
}

class AppDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (skipOutsideTheTestDesktop()) GTEST_SKIP() << "needs scripts/desktop-test-env";
        ASSERT_FALSE(TestMicrophone::speech().isEmpty()) << "espeak-ng and sox made no speech";
        seedSignedInSession();
        microphone.drain();
        server.respond("POST", kUploadPath,
                       FakeResponse::json(200, R"({"request_id":"req-1","text":"hello from the test backend"})"));
        server.respond("POST", QStringLiteral("/v1/internal/log-events"), FakeResponse::json(202, "{}"));
        // The user's dictionary has its say before delivery.
        app.defaults().setBool(QString::fromLatin1(SettingsKeys::dictionaryReplacementEnabled), true);
        app.settings().setDictionaryEntries(
            {{QUuid::createUuid(), QStringLiteral("test backend"), QStringLiteral("Quorvelle backend"),
              QStringLiteral("product"), QDateTime::currentDateTimeUtc()}});
    }

    void TearDown() override { clearStoredSession(); }

    void startApp() {
        app.start();
        ASSERT_TRUE(app.waitUntilHotkeyRegistered(kLong)) << app.standardError().toStdString();
    }

    // A fixture app in front with its single-line field focused.
    static std::unique_ptr<FixtureApp> field(const QString& title,
                                             FixtureApp::Toolkit toolkit = FixtureApp::Toolkit::Qt,
                                             const QProcessEnvironment& environment = {}) {
        auto fixture = std::make_unique<FixtureApp>(toolkit, title, environment);
        fixture->focus(kSingle);
        if (!bringToFront(fixture->processId(), kLong)) throw std::runtime_error("the field did not come to the front");
        return fixture;
    }

    // Speaks with the hot key down (or, in toggle mode, between two presses); `whileRecording` runs
    // before the recording is stopped.
    // The words are spoken once the overlay shows the recording, and followed by half a second of
    // silence, so that the speech reached the recording before the key lets go however busy the
    // machine is.
    void dictate(const std::function<void()>& whileRecording = {}, bool toggle = false) {
        const qsizetype heardBefore = screenReader ? screenReader->heard().size() : 0;
        sendKeys(kHotkey, true);
        if (toggle) sendKeys(kHotkey, false);
        EXPECT_TRUE(overlayShown(true, kLong)) << "no overlay while recording";
        // A listener reads an announcement's words when it handles the event: it must hear this one
        // before the speech keeps this thread busy and the words move on.
        if (screenReader) {
            waitUntil(
                [&] {
                    const QStringList heard = screenReader->heard().mid(heardBefore);
                    return std::any_of(heard.begin(), heard.end(),
                                       [](const QString& words) { return words.startsWith(u"Recording:"_qs); });
                },
                kLong);
        }
        microphone.speak(TestMicrophone::speech() + QByteArray(16000, '\0'));
        microphone.finish();
        if (whileRecording) whileRecording();
        if (toggle) sendKeys(kHotkey, true);
        sendKeys(kHotkey, false);
    }

    bool fieldShows(FixtureApp& fixture, const QString& text) {
        return waitUntil([&] { return fixture.texts().value(kSingle).toString() == text; }, kLong);
    }

    bool logged(const std::function<bool(const QString&)>& code) {
        const auto events = app.diagnosticsEvents();
        return std::any_of(events.begin(), events.end(), [&](const auto& event) { return code(event.code); });
    }

    FakeBackendServer server;
    AppUnderTest app{server.baseUrl()};
    TestMicrophone microphone;
    const AnnouncementListener* screenReader = nullptr;
    // The backend's words after the dictionary replacement.
    const QString delivered = QStringLiteral("hello from the Quorvelle backend");
};

// The overlay never takes the focus, so a screen reader hears the session from its notifications.
TEST_F(AppDesktop, HeldHotKeyDictatesIntoQtAndGtkFieldsWithTheOverlayShownAndTheFocusKept) {
    startApp();
    const AnnouncementListener listener(app.processId());
    screenReader = &listener;
    for (const auto toolkit : {FixtureApp::Toolkit::Gtk, FixtureApp::Toolkit::Qt}) {
        SCOPED_TRACE(toolkit == FixtureApp::Toolkit::Qt ? "Qt" : "GTK");
        FixtureApp fixture(toolkit, QStringLiteral("Dictation target"));
        ASSERT_TRUE(bringToFront(fixture.processId(), kLong));
        // The user clicks into the field with the app running: it sees the focus arrive.
        fixture.focus(QStringLiteral("multi"));
        fixture.focus(kSingle);
        ASSERT_TRUE(bringToFront(fixture.processId(), kLong));
        dictate([&] { EXPECT_EQ(activeWindowProcess(), fixture.processId()) << "the overlay took the focus"; });
        EXPECT_TRUE(fieldShows(fixture, delivered)) << fixture.texts().value(kSingle).toString().toStdString() << "\n"
                                                    << app.eventLog();
        EXPECT_TRUE(overlayShown(false, kLong)) << "the session did not return to idle";
    }
    // Each dictation is heard from the start of the recording to its outcome, in order. A listener reads
    // the words when it handles the event: one showing can reach it as several events (a repeat in a
    // row is one announcement), and the upload to an instant backend is over before it reads them.
    QStringList heard;
    for (const QString& words : listener.heard())
        if ((heard.isEmpty() || heard.last() != words) && !words.startsWith(u"Uploading transcription:"_qs))
            heard << words;
    const QString recording = u"Recording: Release to stop capture and start transcription."_qs;
    EXPECT_EQ(heard.count(recording), 2) << heard.join(" | ").toStdString();
    for (qsizetype at = heard.indexOf(recording); at >= 0; at = heard.indexOf(recording, at + 1))
        EXPECT_EQ(heard.value(at + 1), u"Text inserted: Metin eklendi."_qs) << heard.join(" | ").toStdString();
    const auto uploads = server.requestsTo(kUploadPath);
    ASSERT_EQ(uploads.size(), 2);
    EXPECT_EQ(uploads.first().header("Authorization"), "Bearer test-access-token");
    EXPECT_EQ(uploads.first().header("X-Quorvelle-App-Version"), QUORVELLE_VERSION_UNDER_TEST);
    const auto history = app.historyEntries();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history.first().transcript, delivered);
}

// Started as at login, while the user's field already holds the focus: the app has seen no focus event
// of it, and GTK drops the field's focused state as soon as the hot key grabs the keyboard. The first
// press finds that field all the same: the words land, and a password field refuses the press. What
// the app learnt of the focus at its start gives way to the focus moving after it.
TEST_F(AppDesktop, TheFirstPressAfterTheStartFindsTheFieldFocusedBeforeIt) {
    const auto focusedBeforeTheStart = [&](FixtureApp::Toolkit toolkit, const QString& name) {
        auto fixture = field(QStringLiteral("Focused before the start"), toolkit);
        fixture->focus(name);
        app.stop();
        startApp();
        return fixture;
    };
    for (const auto toolkit : {FixtureApp::Toolkit::Gtk, FixtureApp::Toolkit::Qt}) {
        SCOPED_TRACE(toolkit == FixtureApp::Toolkit::Qt ? "Qt" : "GTK");
        const auto fixture = focusedBeforeTheStart(toolkit, kSingle);
        dictate();
        EXPECT_TRUE(fieldShows(*fixture, delivered)) << app.eventLog();
        EXPECT_TRUE(overlayShown(false, kLong)) << "the session did not return to idle";
    }
    {
        SCOPED_TRACE("GTK password field");
        const auto fixture = focusedBeforeTheStart(FixtureApp::Toolkit::Gtk, QStringLiteral("password"));
        // Refused at the press, before any recording: not by the look taken again at delivery.
        const auto refusedAtThePress = [&] {
            return logged([](const QString& code) { return code == u"runtime.target.preflight_blocked"; }) &&
                   logged([](const QString& code) { return code == u"runtime.blocked.secure_field"; });
        };
        sendKeys(kHotkey, true);
        EXPECT_TRUE(waitUntil(refusedAtThePress, kLong)) << app.eventLog();
        sendKeys(kHotkey, false);
        EXPECT_EQ(fixture->texts().value(QStringLiteral("password")).toString(), QString());
    }
    {
        SCOPED_TRACE("moved after the start");
        const auto fixture = focusedBeforeTheStart(FixtureApp::Toolkit::Qt, kSingle);
        fixture->focus(QStringLiteral("multi"));
        dictate();
        EXPECT_TRUE(
            waitUntil([&] { return fixture->texts().value(QStringLiteral("multi")).toString() == delivered; }, kLong))
            << app.eventLog();
        EXPECT_EQ(fixture->texts().value(kSingle).toString(), QString());
    }
    EXPECT_EQ(server.requestsTo(kUploadPath).size(), 3);
}

// A logout sends SIGTERM: the app quits as from its menu, so the entry of a dictation that has
// just landed still reaches the history file. A long history takes a while to write, so the
// entry is still on its way when the signal comes.
TEST_F(AppDesktop, ASigtermRightAfterADictationLandsKeepsItsHistoryEntry) {
    constexpr int kEarlier = 20000;
    {
        ApplicationSupportTranscriptHistoryStore::Options options;
        options.directory = app.environment().value("XDG_DATA_HOME") + "/com.dovent.Quorvelle/History";
        ApplicationSupportTranscriptHistoryStore store(options);
        QList<TranscriptHistoryEntry> entries;
        for (int i = 0; i < kEarlier; ++i)
            entries.append({QUuid::createUuid(), QDateTime::currentDateTimeUtc().addSecs(-i - 60),
                            QStringLiteral("earlier dictation %1").arg(i), 1.5, 2});
        store.save(entries);
        store.waitUntilWritten();
    }
    startApp();
    const auto fixture = field(QStringLiteral("Logout target"));
    dictate();
    ASSERT_TRUE(fieldShows(*fixture, delivered)) << app.eventLog();
    ASSERT_EQ(::kill(static_cast<pid_t>(app.processId()), SIGTERM), 0);
    ASSERT_TRUE(waitUntil([&] { return !app.isRunning(); }, kLong)) << "the app did not quit";
    const auto history = app.historyEntries();
    ASSERT_EQ(history.size(), kEarlier + 1);
    EXPECT_EQ(history.first().transcript, delivered);
}

TEST_F(AppDesktop, ToggleModeStartsOnOnePressAndStopsOnTheNext) {
    app.settings().setSelectedRecordingTriggerMode(RecordingTriggerMode::toggle);
    startApp();
    const auto fixture = field(QStringLiteral("Toggle target"));
    dictate(
        [&] {
            // Still recording after the release: nothing went to the backend.
            EXPECT_TRUE(server.requestsTo(kUploadPath).isEmpty());
        },
        true);
    EXPECT_TRUE(fieldShows(*fixture, delivered)) << app.eventLog();
}

// An application that takes pastes better than direct writes gets a paste that is checked, after
// which the user's clipboard comes back; a terminal's paste cannot be checked, so the transcript
// stays on the clipboard for the user.
TEST_F(AppDesktop, PastesRestoreTheClipboardWhenCheckedAndLeaveTheTextOnItWhenNot) {
    const QString xterm = QStandardPaths::findExecutable(QStringLiteral("xterm"));
    if (xterm.isEmpty()) GTEST_SKIP() << "xterm is not installed (scripts/install-deps installs it)";
    app.defaults().setBool(QString::fromLatin1(SettingsKeys::clipboardFallbackEnabled), true);
    startApp();
    const QString before = QStringLiteral("what the user had copied");

    QProcessEnvironment named = QProcessEnvironment::systemEnvironment();
    named.insert(QStringLiteral("RESOURCE_NAME"), QStringLiteral("slack"));
    QGuiApplication::clipboard()->setText(before);
    const auto chat = field(QStringLiteral("Chat"), FixtureApp::Toolkit::Qt, named);
    dictate();
    EXPECT_TRUE(fieldShows(*chat, delivered)) << app.eventLog();
    EXPECT_TRUE(waitUntil([&] { return QGuiApplication::clipboard()->text() == before; }, kLong))
        << QGuiApplication::clipboard()->text().toStdString();

    QTemporaryDir directory;
    QFile received(directory.filePath(QStringLiteral("received")));
    QProcess terminal;
    // The shell hands every byte pasted straight to the file.
    terminal.start(xterm, {QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
                           QStringLiteral("stty -icanon -echo; exec cat > \"$0\""), received.fileName()});
    ASSERT_TRUE(terminal.waitForStarted());
    const auto stop = qScopeGuard([&] {
        terminal.kill();
        terminal.waitForFinished(2000);
    });
    QGuiApplication::clipboard()->setText(before);
    ASSERT_TRUE(bringToFront(terminal.processId(), kLong));
    dictate();
    QString contents;
    EXPECT_TRUE(waitUntil(
        [&] {
            if (received.open(QIODevice::ReadOnly)) contents = QString::fromUtf8(received.readAll());
            received.close();
            return contents == delivered;
        },
        kLong))
        << contents.toStdString() << "\n"
        << app.eventLog();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), delivered);

    // The terminal's entry as its delivery ended, not as it was held while the words went out.
    EXPECT_TRUE(waitUntil([&] { return !app.holdsAnEntry() && app.historyEntries().size() == 2; }, kLong));
    const auto history = app.historyEntries();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history.at(0).completionKind, TranscriptHistoryCompletionKind::pasteSentUnverified);
    EXPECT_EQ(history.at(1).completionKind, TranscriptHistoryCompletionKind::pastedViaClipboard);
}

TEST_F(AppDesktop, ABackendFailureShowsTheErrorAndDeliversNothing) {
    server.clearScript();
    server.respond("POST", kUploadPath, FakeResponse::json(400, R"({"title":"bad","code":"INVALID_AUDIO"})"));
    startApp();
    const auto fixture = field(QStringLiteral("Failure target"));
    dictate();
    ASSERT_TRUE(waitUntil(
        [&] { return logged([](const QString& code) { return code.startsWith(u"runtime.error."); }); }, kLong))
        << server.requestsTo(kUploadPath).size() << " uploads\n"
        << app.eventLog() << app.standardError().toStdString();
    EXPECT_EQ(server.requestsTo(kUploadPath).size(), 1) << app.eventLog();
    EXPECT_TRUE(overlayShown(true, kLong)) << "the error state is not shown";
    EXPECT_EQ(fixture->texts().value(kSingle).toString(), QString());
    EXPECT_TRUE(app.historyEntries().isEmpty());
}

// What a screen reader hears through a dictation, a failed one and a press in a password field: each
// state once, in order, with its own title and detail, and nothing of the idle pill that follows.
TEST_F(AppDesktop, TheScreenReaderHearsEachStateOnceInOrderWithItsOwnWords) {
    // A listener reads the words when it handles an event: each state lasts long enough for it to
    // hear that state's own words, as a real upload does.
    const auto slowly = [](FakeResponse response) { return response.drip(std::chrono::milliseconds(25)); };
    server.clearScript();
    server.respond("POST", QStringLiteral("/v1/internal/log-events"), FakeResponse::json(202, "{}"));
    server.respond("POST", kUploadPath,
                   slowly(FakeResponse::json(200, R"({"request_id":"req-1","text":"hello from the test backend"})")));
    startApp();
    const AnnouncementListener listener(app.processId());
    screenReader = &listener;
    const auto fixture = field(QStringLiteral("Announcement target"));
    const QString recording = u"Recording: Release to stop capture and start transcription."_qs;
    // The upload's detail names the recording's length, which the speech decides.
    const QString uploading = u"Uploading transcription: Last capture: …"_qs;
    // One showing can reach the listener as several events: a repeat in a row is one announcement.
    const auto heardSince = [&](qsizetype from) {
        QStringList heard;
        for (QString words : listener.heard()) {
            if (words.startsWith(u"Uploading transcription: Last capture: "_qs)) words = uploading;
            if (heard.isEmpty() || heard.last() != words) heard << words;
        }
        return heard.mid(from);
    };
    // Each outcome is heard before the session goes back to idle.
    const auto settled = [&](qsizetype from, const QString& last) {
        EXPECT_TRUE(waitUntil([&] { return heardSince(from).contains(last); }, kLong))
            << heardSince(from).join(" | ").toStdString() << "\n"
            << app.eventLog();
        EXPECT_TRUE(overlayShown(false, kLong)) << "the session did not return to idle";
    };

    dictate();
    EXPECT_TRUE(fieldShows(*fixture, delivered)) << app.eventLog();
    const QString inserted = u"Text inserted: Metin eklendi."_qs;
    settled(0, inserted);
    const QStringList dictation = heardSince(0);
    EXPECT_EQ(dictation, (QStringList{recording, uploading, inserted})) << dictation.join(" | ").toStdString();

    server.clearScript();
    server.respond("POST", QStringLiteral("/v1/internal/log-events"), FakeResponse::json(202, "{}"));
    server.respond("POST", kUploadPath,
                   slowly(FakeResponse::json(503, R"({"title":"busy","code":"PROVIDER_UNAVAILABLE"})")));
    dictate();
    const AppStrings strings;
    const SessionState unavailable = SessionState::error(QuorvelleError(QuorvelleErrorCase::providerUnavailable));
    const QString failed =
        strings.sessionStateTitle(unavailable, std::nullopt) + u": "_qs + strings.errorMessage(*unavailable.error());
    // The failure's title, hot key and reason are each readable: no two share a pixel.
    ASSERT_TRUE(waitUntil([&] { return heardSince(dictation.size()).contains(failed); }, kLong));
    const auto boxes = overlayTextBoxes(app.processId());
    EXPECT_EQ(boxes.size(), 3);
    for (qsizetype i = 0; i < boxes.size(); ++i)
        for (qsizetype j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(boxes[i].second.intersects(boxes[j].second))
                << boxes[i].first.toStdString() << " overlaps " << boxes[j].first.toStdString();
    settled(dictation.size(), failed);
    const QStringList failure = heardSince(dictation.size());
    EXPECT_EQ(failure, (QStringList{recording, uploading, failed})) << failure.join(" | ").toStdString();

    fixture->focus(QStringLiteral("password"));
    ASSERT_TRUE(bringToFront(fixture->processId(), kLong));
    sendKeys(kHotkey, true);
    sendKeys(kHotkey, false);
    const QString secure = u"Secure field blocked: Secure field algılandı."_qs;
    settled(dictation.size() + failure.size(), secure);
    EXPECT_EQ(heardSince(dictation.size() + failure.size()), QStringList{secure})
        << listener.heard().join(" | ").toStdString();
    std::cout << "heard: " << listener.heard().join(" | ").toStdString() << std::endl;
}

// The app's own windows in front: the dashboard or the tray panel holds the keyboard focus. A question
// the app put to the accessibility bus about them could only be answered by its own thread once it is
// free again (it froze for about 8 s): a press is refused at once, as a press with no field is, and
// words arriving while the tray panel is open go to the clipboard at once. Ten rounds each; the
// backend holds each answer until the test lets it go.
class AppOwnWindowsDesktop : public AppDesktop {
protected:
    static constexpr int kRounds = 10;
    // Five times what the outcome may take, under the freeze: each question to ourselves waits out the
    // bus's timeout, and a look asks several (2.5 to 4.5 s here).
    static constexpr qint64 kAtOnce = 1500;

    void SetUp() override {
        AppDesktop::SetUp();
        if (IsSkipped()) return;
        server.clearScript();
        server.respond("POST", QStringLiteral("/v1/internal/log-events"), FakeResponse::json(202, "{}"));
        server.respond("POST", kUploadPath,
                       FakeResponse::json(200, R"({"request_id":"req-1","text":"hello from the test backend"})")
                           .holdUntilReleased());
        startApp();
        listener = std::make_unique<AnnouncementListener>(app.processId());
    }

    // The tray panel open and in front, opened by a click on the icon where it is not.
    bool trayPanelInFront() {
        const auto icon = appWindow([](const DesktopWindow& w) { return w.inTray; });
        if (!icon) return false;
        const QPoint centre = icon->screenGeometry.center();
        const auto popover = [](const DesktopWindow& w) { return !w.inTray && w.geometry.width() == 360; };
        return waitUntil(
            [&] {
                if (!appWindow(popover, 0))
                    QProcess::execute(QStringLiteral("xdotool"),
                                      {QStringLiteral("mousemove"), QString::number(centre.x()),
                                       QString::number(centre.y()), QStringLiteral("click"), QStringLiteral("1")});
                return appWindow(popover, 0) && activeWindowProcess() == app.processId();
            },
            kLong);
    }

    // The milliseconds from `since` until the screen reader heard, after its first `from` showings,
    // an outcome starting with `title`; -1 when it never came.
    qint64 heard(qsizetype from, const QString& title, const QElapsedTimer& since) {
        const bool came = waitUntil(
            [&] {
                const QStringList words = listener->heard().mid(from);
                return std::any_of(words.begin(), words.end(), [&](const QString& w) { return w.startsWith(title); });
            },
            kLong);
        return came ? since.elapsed() : -1;
    }

    void pressRefusedAtOnce(const std::function<bool()>& ourWindowInFront) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE("round " + std::to_string(round));
            ASSERT_TRUE(ourWindowInFront());
            const qsizetype from = listener->heard().size();
            QElapsedTimer pressed;
            sendKeys(kHotkey, true);
            pressed.start();
            const qint64 took = heard(from, u"Writable target required"_qs, pressed);
            sendKeys(kHotkey, false);
            std::cout << "refused " << took << " ms after the press" << std::endl;
            // One freeze is enough to tell: the rounds after it would only repeat it.
            ASSERT_TRUE(took >= 0 && took < kAtOnce) << took << " ms\n" << app.eventLog();
            ASSERT_TRUE(overlayShown(false, kLong)) << "the refusal stays on screen";
        }
    }

    std::unique_ptr<AnnouncementListener> listener;
};

TEST_F(AppOwnWindowsDesktop, APressOverTheDashboardOrTheTrayPanelIsRefusedAtOnce) {
    const qint64 pid = app.processId();
    ASSERT_EQ(app.runCopy(), 0);
    const auto dashboard = appWindow([](const DesktopWindow& w) { return !w.inTray && w.geometry.width() == 1270; });
    ASSERT_TRUE(dashboard);
    {
        SCOPED_TRACE("dashboard");
        pressRefusedAtOnce([&] {
            return waitUntil(
                [&] {
                    if (activeWindowProcess() == pid) return true;
                    QProcess::execute(
                        QStringLiteral("xdotool"),
                        {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(dashboard->id)});
                    return false;
                },
                kLong);
        });
        if (HasFatalFailure()) return;
    }
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(dashboard->id),
                       QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("alt+F4")});
    ASSERT_TRUE(
        waitUntil([&] { return !appWindow([&](const DesktopWindow& w) { return w.id == dashboard->id; }, 0); }, kLong));
    {
        SCOPED_TRACE("tray panel");
        pressRefusedAtOnce([&] { return trayPanelInFront(); });
        if (HasFatalFailure()) return;
    }
    EXPECT_TRUE(server.requestsTo(kUploadPath).isEmpty()) << app.eventLog();
    EXPECT_TRUE(app.historyEntries().isEmpty());
}

// The user opens the tray panel while the words upload; the answer comes once the panel has the focus.
TEST_F(AppOwnWindowsDesktop, WordsArrivingWhileTheTrayPanelHasTheFocusAreCopiedAtOnce) {
    const auto fixture = field(QStringLiteral("Arrival target"));
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(bringToFront(fixture->processId(), kLong));
        QGuiApplication::clipboard()->setText(QStringLiteral("what the user had copied"));
        const qsizetype from = listener->heard().size();
        dictate();
        ASSERT_TRUE(waitUntil([&] { return server.requestsTo(kUploadPath).size() == round + 1; }, kLong))
            << app.eventLog();
        ASSERT_TRUE(trayPanelInFront());
        QElapsedTimer answered;
        server.releaseHeld();
        answered.start();
        const qint64 took = heard(from, u"Copied to clipboard"_qs, answered);
        std::cout << "copied " << took << " ms after the answer" << std::endl;
        ASSERT_TRUE(took >= 0 && took < kAtOnce) << took << " ms\n" << app.eventLog();
        EXPECT_TRUE(waitUntil([&] { return QGuiApplication::clipboard()->text() == delivered; }, kLong))
            << QGuiApplication::clipboard()->text().toStdString();
        EXPECT_EQ(fixture->texts().value(kSingle).toString(), QString());
        EXPECT_TRUE(waitUntil([&] { return app.historyEntries().size() == round + 1; }, kLong));
        EXPECT_EQ(app.historyEntries().value(0).completionKind, TranscriptHistoryCompletionKind::copiedToClipboard);
    }
}

// On the device, with a model of random weights the test writes: the words are not checked, the road
// is (no crash, an end the user sees, a history entry or the no-speech outcome).
TEST_F(AppDesktop, OnDeviceModeRunsTheRoadWithAnInstalledModel) {
#ifndef QUORVELLE_HAVE_WHISPER
    GTEST_SKIP() << "this build has no whisper.cpp engine";
#else
    const QDir models(app.environment().value(QStringLiteral("XDG_DATA_HOME")) +
                      QStringLiteral("/com.dovent.Quorvelle/LocalModels"));
    ASSERT_TRUE(models.mkpath(QStringLiteral("Models")));
    const QString modelPath = models.filePath(QStringLiteral("Models/ggml-tiny.bin"));
    ASSERT_TRUE(writeTinyRandomWhisperModel(modelPath));
    const LocalModelInstallationRecord record{LocalTranscriptionModelID::tinyMultilingual, QStringLiteral("0"),
                                              QDateTime::currentDateTimeUtc(), QFileInfo(modelPath).size(),
                                              std::nullopt};
    QFile registry(models.filePath(QStringLiteral("local-models.json")));
    ASSERT_TRUE(registry.open(QIODevice::WriteOnly));
    registry.write(QJsonDocument(QJsonArray{record.toJson()}).toJson());
    registry.close();
    app.defaults().setString(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend), QStringLiteral("local"));
    app.settings().setSelectedLocalModelID(LocalTranscriptionModelID::tinyMultilingual);
    startApp();
    const auto fixture = field(QStringLiteral("On-device target"));
    dictate();
    const auto noSpeech = [](const QString& code) { return code == u"runtime.error.no_speech_detected"; };
    EXPECT_TRUE(waitUntil([&] { return !app.historyEntries().isEmpty() || logged(noSpeech); }, 8 * kLong))
        << app.eventLog();
    EXPECT_TRUE(server.requestsTo(kUploadPath).isEmpty());
    EXPECT_TRUE(app.isRunning()) << app.standardError().toStdString();
#endif
}

// The dashboard is made only when asked for: 1270 wide, lowered to what the 800-high screen leaves
// under the title bar, hidden (not ended) by the window manager's close and brought back as itself.
TEST_F(AppDesktop, TheTrayIconOpensThePopoverBesideItAndASecondLaunchOpensTheDashboard) {
    startApp();
    const auto icon = appWindow([](const DesktopWindow& w) { return w.inTray; });
    ASSERT_TRUE(icon) << "no icon in the tray";
    const auto clickIcon = [centre = icon->screenGeometry.center()] {
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
                           QStringLiteral("click"), QStringLiteral("1")});
    };
    const auto dashboard = [](const DesktopWindow& w) { return !w.inTray && w.geometry.width() == 1270; };
    const auto popover = [](const DesktopWindow& w) { return w.geometry.width() == 360; };
    // Either of its windows; the icon's tooltip may come and go.
    const auto anyOpen = [](const DesktopWindow& w) { return w.geometry.width() == 360 || w.geometry.width() == 1270; };
    clickIcon();
    const auto shown = appWindow(popover);
    ASSERT_TRUE(shown);
    // Below the icon at the top of the screen, inside the screen.
    EXPECT_GT(shown->screenGeometry.top(), icon->screenGeometry.bottom());
    EXPECT_LE(shown->screenGeometry.right(), 1279);
    EXPECT_FALSE(appWindow(dashboard, 0));

    // A second click closes it, however quickly it follows, and opens nothing else.
    clickIcon();
    EXPECT_TRUE(waitUntil([&] { return !appWindow(anyOpen, 0); }, kLong));
    // So does a click on another window.
    const FixtureApp other(FixtureApp::Toolkit::Qt, QStringLiteral("Another window"));
    ASSERT_TRUE(bringToFront(other.processId(), kLong));
    // The window manager may still be carrying out the new window's own activation, which would close
    // the popover as soon as it opened: the focus must have come to rest first.
    QElapsedTimer resting;
    resting.start();
    ASSERT_TRUE(waitUntil(
        [&] {
            if (activeWindowProcess() != other.processId()) resting.restart();
            return resting.elapsed() >= 300;
        },
        kLong));
    clickIcon();
    ASSERT_TRUE(appWindow(popover));
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("Another window"),
                       QStringLiteral("mousemove"), QStringLiteral("--window"), QStringLiteral("%1"),
                       QStringLiteral("20"), QStringLiteral("20"), QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(waitUntil([&] { return !appWindow(anyOpen, 0); }, kLong));

    // A second copy gives up when the first has not answered in 3 s, as a first copy still building
    // its popover on a loaded machine may not: the user would launch it again.
    const auto launchAgain = [&] { return waitUntil([&] { return app.runCopy() == 0; }, kLong); };
    EXPECT_TRUE(launchAgain());
    const auto first = appWindow(dashboard);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->title, "Quorvelle");
    std::optional<DesktopWindow> fitted;
    ASSERT_TRUE(
        waitUntil([&] { return (fitted = appWindow(dashboard, 0)) && fitted->geometry.height() < 835; }, kLong));
    const QRect place = fitted->screenGeometry;
    EXPECT_TRUE(place.top() >= 0 && place.bottom() <= 799) << place.top() << ".." << place.bottom();
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(first->id),
                       QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("alt+F4")});
    ASSERT_TRUE(waitUntil([&] { return !appWindow(dashboard, 0); }, kLong));
    EXPECT_TRUE(app.isRunning());
    EXPECT_TRUE(launchAgain());
    const auto again = appWindow(dashboard);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->id, first->id);
}

TEST(AppStart, AnUnusableBackendAddressStopsTheStartWithAMessageNamingIt) {
    if (skipOutsideTheTestDesktop()) GTEST_SKIP() << "needs scripts/desktop-test-env";
    AppUnderTest app(QUrl(QStringLiteral("ftp://files.example.com")));
    QString printed;
    EXPECT_EQ(app.runCopy(&printed), 2);
    EXPECT_TRUE(printed.contains(QStringLiteral("QUORVELLE_BACKEND_BASE_URL"))) << printed.toStdString();
}

TEST(AppWithoutTray, OpensTheDashboardAtStartSoItStaysReachable) {
    if (skipOutsideTheTestDesktop()) GTEST_SKIP() << "needs scripts/desktop-test-env";
    // A display of its own: an X server with no tray and no window manager.
    PrivateXServer xserver;
    const QString display = xserver.display();
    ASSERT_FALSE(display.isEmpty()) << xserver.failure().toStdString();
    AppUnderTest app;
    app.setEnvironment(QStringLiteral("DISPLAY"), display);
    app.start();
    // Without a window manager no title bar takes room: the dashboard is as high as the screen.
    EXPECT_TRUE(waitUntil(
        [&] {
            const auto windows = windowsOfClass(kAppClass, display);
            return std::any_of(windows.begin(), windows.end(), [](const DesktopWindow& w) {
                return w.viewable && w.geometry.size() == QSize(1270, 800);
            });
        },
        kLong))
        << app.standardError().toStdString();
}

// The container the program runs on: a sign-in tells the backend which build is connecting.
TEST(LiveContainer, ASignInStartNamesTheBuild) {
    if (skipOutsideTheTestDesktop()) GTEST_SKIP() << "needs scripts/desktop-test-env";
    // The live services make their folders under these (the app under test is given its own).
    QTemporaryDir home;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, home.filePath(QLatin1String(name)).toLocal8Bit());
    FakeBackendServer server;
    const QString start = QStringLiteral("/v1/auth/device-login/start");
    server.respond("POST", start,
                   FakeResponse::json(200, R"({"device_login_id":"l","device_poll_secret":"s","user_code":"C",)"
                                           R"("verification_url":"https://web.example.test/d"})"));
    QProcessEnvironment environment;
    environment.insert(QLatin1String(AppConfiguration::backendBaseURLKey), server.baseUrl().toString());
    QNetworkAccessManager network;
    const AppBootstrap live =
        makeLiveBootstrap(AppConfiguration(environment, BuildKeys{{}, {}, "2.5.0", "250"}, true), &network);
    runTask(live.backendAuthSessionManager->startDeviceLogin());
    const QJsonObject body = server.requestsTo(start).value(0).jsonObject();
    EXPECT_EQ(body.value("app_version").toString(), QStringLiteral("2.5.0"));
    EXPECT_EQ(body.value("build").toString(), QStringLiteral("250"));
}

// Installed into a prefix of its own, the program is named by its launcher and starts with the
// whisper.cpp libraries installed beside it, not the build's.
TEST(AppInstall, TheInstalledProgramStartsFromItsLauncherWithTheLibrariesBesideIt) {
    if (skipOutsideTheTestDesktop()) GTEST_SKIP() << "needs scripts/desktop-test-env";
    QTemporaryDir prefix;
    QProcess install;
    install.start(
        QStringLiteral(QUORVELLE_CMAKE_COMMAND),
        {QStringLiteral("--install"), QStringLiteral(QUORVELLE_BUILD_DIR), QStringLiteral("--prefix"), prefix.path()});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    const QString program = prefix.filePath(QStringLiteral("bin/quorvelle"));
    QFile launcher(prefix.filePath(QStringLiteral("share/applications/com.dovent.Quorvelle.desktop")));
    ASSERT_TRUE(launcher.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(launcher.readAll());
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=\"%1\"\n").arg(program))) << entry.toStdString();
    EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=com.dovent.Quorvelle\n")));
    EXPECT_TRUE(
        QFile::exists(prefix.filePath(QStringLiteral("share/icons/hicolor/scalable/apps/com.dovent.Quorvelle.svg"))));

    FakeBackendServer server;
    AppUnderTest app(server.baseUrl());
    app.setProgram(program);
    app.start();
    ASSERT_TRUE(appWindow([](const DesktopWindow& w) { return w.inTray; }, 15000)) << app.standardError().toStdString();
#ifdef QUORVELLE_HAVE_WHISPER
    QFile maps(QStringLiteral("/proc/%1/maps").arg(app.processId()));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QString mapped = QString::fromUtf8(maps.readAll());
    EXPECT_TRUE(mapped.contains(QDir(prefix.path()).canonicalPath() + QStringLiteral("/lib/libwhisper.so")));
    EXPECT_FALSE(mapped.contains(QStringLiteral(QUORVELLE_BUILD_DIR "/third_party")));
#endif
}

}  // namespace
}  // namespace quorvelle::test
