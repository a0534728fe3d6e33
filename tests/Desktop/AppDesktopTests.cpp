// The real quorvelle executable in the test desktop: the hot key held while the test microphone
// speaks, the fake backend's transcript processed and delivered into other applications.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "DesktopInput.h"
#include "FakeBackendServer.h"
#include "FixtureApp.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include "Models/LocalModelInstallationRecord.h"
#include "Services/Storage/SettingsKeys.h"
#include "TinyWhisperModel.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <algorithm>

namespace quorvelle::test {
namespace {

const QStringList kHotkey{"Control_L", "Alt_L", "space"};
const QString kUploadPath = QStringLiteral("/v1/transcriptions");
const QSize kOverlaySize(416, 188);
const QString kAppClass = QStringLiteral("Quorvelle");

FakeResponse transcriptAnswer(const QByteArray& text) {
    return FakeResponse::json(200, R"({"request_id":"req-1","text":")" + text + R"("})");
}

class AppDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        ASSERT_FALSE(TestMicrophone::speech().isEmpty()) << "espeak-ng and sox made no speech";
        seedSignedInSession();
        microphone.drain();
        server.respond("POST", kUploadPath, transcriptAnswer("hello from the test backend"));
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
        ASSERT_TRUE(app.waitUntilHotkeyRegistered()) << app.standardError().toStdString();
    }

    // Speaks with the hot key down; `whileHeld` runs before it is let go.
    void dictate(const std::function<void()>& whileHeld = {}) {
        sendKeys(kHotkey, true);
        microphone.speak(TestMicrophone::speech());
        microphone.finish();
        if (whileHeld) whileHeld();
        letTheLastAudioArrive();
        sendKeys(kHotkey, false);
    }

    // The sound server hands the last chunks to the recording a moment after it read them.
    static void letTheLastAudioArrive() {
        waitUntil([] { return false; }, 300);
    }

    static bool fieldShows(FixtureApp& fixture, const QString& text, int timeoutMs = 15000) {
        return waitUntil([&] { return fixture.texts().value(QStringLiteral("single")).toString() == text; }, timeoutMs);
    }

    FakeBackendServer server;
    AppUnderTest app{server.baseUrl()};
    TestMicrophone microphone;
    // The backend's words after the dictionary replacement.
    const QString delivered = QStringLiteral("hello from the Quorvelle backend");
};

TEST_F(AppDesktop, HeldHotKeyDictatesIntoQtAndGtkFieldsWithTheOverlayShownAndTheFocusKept) {
    startApp();
    for (const auto toolkit : {FixtureApp::Toolkit::Gtk, FixtureApp::Toolkit::Qt}) {
        SCOPED_TRACE(toolkit == FixtureApp::Toolkit::Qt ? "Qt" : "GTK");
        FixtureApp fixture(toolkit, QStringLiteral("Dictation target"));
        ASSERT_TRUE(bringToFront(fixture.processId()));
        // The user clicks into the field with the app running: it sees the focus arrive.
        fixture.focus(QStringLiteral("multi"));
        fixture.focus(QStringLiteral("single"));
        ASSERT_TRUE(bringToFront(fixture.processId()));
        dictate([&] {
            EXPECT_TRUE(waitUntil([] { return viewableWindow(kAppClass, kOverlaySize).has_value(); }, 5000))
                << "no overlay while recording";
            EXPECT_EQ(activeWindowProcess(), fixture.processId()) << "the overlay took the focus";
        });
        EXPECT_TRUE(fieldShows(fixture, delivered)) << fixture.texts().value("single").toString().toStdString() << "\n"
                                                    << app.eventLog();
        // The session returns to idle and the overlay goes.
        EXPECT_TRUE(waitUntil([] { return !viewableWindow(kAppClass, kOverlaySize); }, 15000));
    }
    const auto uploads = server.requestsTo(kUploadPath);
    ASSERT_EQ(uploads.size(), 2);
    EXPECT_EQ(uploads.first().header("Authorization"), "Bearer test-access-token");
    const auto history = app.historyEntries();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history.first().transcript, delivered);
}

TEST_F(AppDesktop, ToggleModeStartsOnOnePressAndStopsOnTheNext) {
    app.settings().setSelectedRecordingTriggerMode(RecordingTriggerMode::toggle);
    startApp();
    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("Toggle target"));
    fixture.focus(QStringLiteral("single"));
    ASSERT_TRUE(bringToFront(fixture.processId()));
    sendKeys(kHotkey, true);
    sendKeys(kHotkey, false);
    microphone.speak(TestMicrophone::speech());
    microphone.finish();
    letTheLastAudioArrive();
    // Still recording after the release: the overlay is up and nothing went to the backend.
    EXPECT_TRUE(waitUntil([] { return viewableWindow(kAppClass, kOverlaySize).has_value(); }, 5000));
    EXPECT_TRUE(server.requestsTo(kUploadPath).isEmpty());
    sendKeys(kHotkey, true);
    sendKeys(kHotkey, false);
    EXPECT_TRUE(fieldShows(fixture, delivered)) << app.eventLog();
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
    FixtureApp chat(FixtureApp::Toolkit::Qt, QStringLiteral("Chat"), named);
    chat.focus(QStringLiteral("single"));
    QGuiApplication::clipboard()->setText(before);
    ASSERT_TRUE(bringToFront(chat.processId()));
    dictate();
    EXPECT_TRUE(fieldShows(chat, delivered)) << app.eventLog();
    EXPECT_TRUE(waitUntil([&] { return QGuiApplication::clipboard()->text() == before; }, 10000))
        << QGuiApplication::clipboard()->text().toStdString();

    QTemporaryDir directory;
    const QString received = directory.filePath(QStringLiteral("received"));
    QProcess terminal;
    // The shell hands every byte pasted straight to the file.
    terminal.start(xterm, {QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
                           QStringLiteral("stty -icanon -echo; exec cat > \"$0\""), received});
    ASSERT_TRUE(terminal.waitForStarted());
    const auto stop = qScopeGuard([&] {
        terminal.kill();
        terminal.waitForFinished(2000);
    });
    QGuiApplication::clipboard()->setText(before);
    ASSERT_TRUE(bringToFront(terminal.processId()));
    dictate();
    QString contents;
    EXPECT_TRUE(waitUntil(
        [&] {
            QFile file(received);
            if (file.open(QIODevice::ReadOnly)) contents = QString::fromUtf8(file.readAll());
            return contents == delivered;
        },
        15000))
        << contents.toStdString() << "\n"
        << app.eventLog();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), delivered);

    EXPECT_TRUE(waitUntil([&] { return app.historyEntries().size() == 2; }, 5000));
    const auto history = app.historyEntries();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history.at(0).completionKind, TranscriptHistoryCompletionKind::pasteSentUnverified);
    EXPECT_EQ(history.at(1).completionKind, TranscriptHistoryCompletionKind::pastedViaClipboard);
}

TEST_F(AppDesktop, ABackendFailureShowsTheErrorAndDeliversNothing) {
    server.clearScript();
    server.respond("POST", kUploadPath, FakeResponse::json(400, R"({"title":"bad","code":"INVALID_AUDIO"})"));
    startApp();
    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("Failure target"));
    fixture.focus(QStringLiteral("single"));
    ASSERT_TRUE(bringToFront(fixture.processId()));
    dictate();
    const auto failed = [&] {
        const auto events = app.diagnosticsEvents();
        return std::any_of(events.begin(), events.end(), [](const SanitizedDiagnosticsEvent& event) {
            return event.code.startsWith(QStringLiteral("runtime.error."));
        });
    };
    ASSERT_TRUE(waitUntil(failed, 20000)) << app.eventLog();
    EXPECT_EQ(server.requestsTo(kUploadPath).size(), 1) << app.eventLog();
    EXPECT_TRUE(waitUntil([] { return viewableWindow(kAppClass, kOverlaySize).has_value(); }, 2000))
        << "the error state is not shown";
    EXPECT_EQ(fixture.texts().value(QStringLiteral("single")).toString(), QString());
    EXPECT_TRUE(app.historyEntries().isEmpty());
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
    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("On-device target"));
    fixture.focus(QStringLiteral("single"));
    ASSERT_TRUE(bringToFront(fixture.processId()));
    dictate();
    const auto ended = [&] {
        if (!app.historyEntries().isEmpty()) return true;
        const auto events = app.diagnosticsEvents();
        return std::any_of(events.begin(), events.end(), [](const SanitizedDiagnosticsEvent& event) {
            return event.code == QStringLiteral("runtime.error.no_speech_detected");
        });
    };
    EXPECT_TRUE(waitUntil(ended, 60000)) << app.eventLog();
    EXPECT_TRUE(server.requestsTo(kUploadPath).isEmpty());
    EXPECT_TRUE(app.isRunning()) << app.standardError().toStdString();
#endif
}

TEST_F(AppDesktop, TheTrayIconOpensThePopoverBesideItAndASecondLaunchOpensTheDashboard) {
    startApp();
    std::optional<DesktopWindow> icon;
    EXPECT_TRUE(waitUntil(
        [&] {
            for (const DesktopWindow& window : windowsOfClass(kAppClass)) {
                if (window.inTray && window.viewable) icon = window;
            }
            return icon.has_value();
        },
        5000))
        << "no icon in the tray";
    if (icon) {
        const QPoint centre = icon->screenGeometry.center();
        QProcess::execute(QStringLiteral("xdotool"),
                          {QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
                           QStringLiteral("click"), QStringLiteral("1")});
        std::optional<DesktopWindow> popover;
        EXPECT_TRUE(waitUntil(
            [&] {
                for (const DesktopWindow& window : windowsOfClass(kAppClass)) {
                    if (window.viewable && window.geometry.width() == 360) popover = window;
                }
                return popover.has_value();
            },
            5000));
        // Below the icon at the top of the screen, inside the screen.
        if (popover) {
            EXPECT_GT(popover->screenGeometry.top(), icon->screenGeometry.bottom());
            EXPECT_LE(popover->screenGeometry.right(), 1279);
        }
    }
    // The dashboard is 1270 wide, and as high as the 800-high screen leaves it under the title bar.
    const auto dashboardShown = [] {
        const auto windows = windowsOfClass(kAppClass);
        return std::any_of(windows.begin(), windows.end(),
                           [](const DesktopWindow& w) { return w.viewable && w.geometry.width() == 1270; });
    };
    EXPECT_FALSE(dashboardShown());
    EXPECT_EQ(app.runCopy(), 0);
    EXPECT_TRUE(waitUntil(dashboardShown, 5000));
    EXPECT_TRUE(app.isRunning());
}

}  // namespace
}  // namespace quorvelle::test

namespace quorvelle::test {
namespace {

// A display of its own for the app: an X server with no tray and no window manager.
class DisplayWithoutTray {
public:
    DisplayWithoutTray() {
        m_server.start(
            QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
             QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (waitUntil([&] { return m_server.canReadLine(); }, 10000))
            m_name = QLatin1Char(':') + QString::fromLatin1(m_server.readLine().trimmed());
    }
    ~DisplayWithoutTray() {
        m_server.terminate();
        m_server.waitForFinished(3000);
    }
    QString name() const { return m_name; }

    // Whether a viewable window of the app has that size.
    bool showsWindow(const QSize& size) const {
        const QString tree = run({QStringLiteral("-root"), QStringLiteral("-tree")});
        const QString wanted =
            QStringLiteral("(\"quorvelle\" \"Quorvelle\")  %1x%2").arg(size.width()).arg(size.height());
        for (const QString& line : tree.split(QLatin1Char('\n'))) {
            if (!line.contains(wanted)) continue;
            const QString id = line.trimmed().section(QLatin1Char(' '), 0, 0);
            if (run({QStringLiteral("-id"), id}).contains(QStringLiteral("IsViewable"))) return true;
        }
        return false;
    }

private:
    QString run(QStringList arguments) const {
        arguments << QStringLiteral("-display") << m_name;
        QProcess xwininfo;
        xwininfo.start(QStringLiteral("xwininfo"), arguments);
        xwininfo.waitForFinished(5000);
        return QString::fromUtf8(xwininfo.readAllStandardOutput());
    }

    QProcess m_server;
    QString m_name;
};

TEST(AppStart, AnUnusableBackendAddressStopsTheStartWithAMessageNamingIt) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    AppUnderTest app(QUrl(QStringLiteral("ftp://files.example.com")));
    QString printed;
    EXPECT_EQ(app.runCopy(&printed), 2);
    EXPECT_TRUE(printed.contains(QStringLiteral("QUORVELLE_BACKEND_BASE_URL"))) << printed.toStdString();
}

TEST(AppWithoutTray, OpensTheDashboardAtStartSoItStaysReachable) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    DisplayWithoutTray display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
    AppUnderTest app;
    app.setEnvironment(QStringLiteral("DISPLAY"), display.name());
    app.start();
    // Without a window manager no title bar takes room: the dashboard is as high as the screen.
    EXPECT_TRUE(waitUntil([&] { return display.showsWindow(QSize(1270, 800)); }, 10000))
        << app.standardError().toStdString();
}

}  // namespace
}  // namespace quorvelle::test
