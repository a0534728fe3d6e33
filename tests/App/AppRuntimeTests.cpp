// The composition root over a given set of services, and the overlay panel it controls.
#include "App/AppRuntime.h"
#include "App/InstanceChannel.h"
#include "App/LiveBootstrap.h"
#include "App/RuntimeOverlayController.h"
#include "App/RuntimeOverlayPanel.h"
#include "FakeBootstrap.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "Services/Storage/SettingsKeys.h"
#include "Services/System/HotkeyMonitorError.h"
#include "Support/AppPaths.h"
#include "Support/SingleInstanceLock.h"
#include "TestEventLoop.h"
#include "ViewModel/AppViewModel.h"
#include "ViewModel/SessionTexts.h"
#include "Views/Common/ViewSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QTimer>

#include <future>
#include <optional>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

class AppRuntimeTest : public ::testing::Test {
protected:
    static constexpr const char* kFolders[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"};

    // Anything live would leave its files in these folders (this binary holds only these tests).
    void SetUp() override {
        ViewSetup::prepare();
        for (const char* name : kFolders)
            qputenv(name, home.filePath(QString::fromLatin1(name)).toLocal8Bit());
    }

    void moveSessionTo(const std::function<void(SessionCoordinating&)>& step) {
        step(*fakes.sessionCoordinator);
        // The view model mirrors the holder a turn of the event loop later.
        test::waitUntil(
            [&] { return runtime->viewModel().session()->runtimeState() == fakes.sessionCoordinator->state(); });
    }

    QTemporaryDir home;
    test::FakeBootstrap fakes;
    std::unique_ptr<AppRuntime> runtime;
};

TEST_F(AppRuntimeTest, AGivenContainerIsUsedWholeAndNothingLiveIsBuilt) {
    fakes.makeReadyForCloudDictation();
    const AppBootstrap given = fakes.bootstrap();
    runtime = std::make_unique<AppRuntime>(given);

    // The runtime holds the container it was given, not one of its own.
    EXPECT_EQ(runtime->bootstrap().transcriber, given.transcriber);
    EXPECT_EQ(runtime->bootstrap().audioCapture, given.audioCapture);
    // The view model works through the given services: dictation is ready, so it registered the
    // hot key with the fake monitor.
    EXPECT_TRUE(fakes.hotkeyMonitor->monitoring);
    // No settings file, history, models folder or keyring cache was made; no panel before a session.
    for (const char* name : kFolders)
        EXPECT_EQ(QDir(home.filePath(QString::fromLatin1(name))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList());
    EXPECT_EQ(runtime->overlayController().panel(), nullptr);

    // Qt's own dialog texts follow the interface language.
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), "Save As");
    runtime->viewModel().preferences()->setAppLanguage(AppLanguageOption::turkish);
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), QString::fromUtf8("Farklı Kaydet"));
    runtime->viewModel().preferences()->setAppLanguage(AppLanguageOption::english);
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), "Save As");
}

TEST_F(AppRuntimeTest, TheOverlayPanelShowsForEveryBusyStateAtTheBottomCentreAndNeverTakesInput) {
    runtime = std::make_unique<AppRuntime>(fakes.bootstrap());
    RuntimeOverlayController& overlay = runtime->overlayController();

    moveSessionTo([](SessionCoordinating& s) { s.beginRecording(); });
    RuntimeOverlayPanel* panel = overlay.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    const Qt::WindowFlags never = Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput;
    EXPECT_EQ(panel->flags() & never, never);
    EXPECT_TRUE(panel->flags() & Qt::WindowStaysOnTopHint);
    // It shows the overlay view over this view model: the full pill.
    EXPECT_EQ(panel->surface() ? panel->surface()->objectName() : QString(), QStringLiteral("overlay-pill"));
    // No compositor draws this platform's transparency: the window is cut to the pill, which is as
    // tall as its texts need, with the room for its shadows around it.
    const int pillHeight = int(panel->surface()->height());
    EXPECT_GE(pillHeight, 156);
    EXPECT_EQ(panel->mask().boundingRect(), QRect(28, 28, 360, pillHeight));
    const auto metrics = overlay.currentDisplayMetrics();
    ASSERT_TRUE(metrics);
    EXPECT_EQ(panel->geometry(),
              RuntimeOverlayLayoutEngine{}.panelFrame(QSizeF(416, 28 + pillHeight + 44), *metrics).toRect());

    // A later state keeps it up (the desktop test shows an error state too); only idle takes it down,
    // and the next session reuses it.
    moveSessionTo([](SessionCoordinating& s) { s.beginUploading(); });
    EXPECT_TRUE(panel->isVisible());
    // The view asks for more height (its texts grew): the shown panel follows, placed anew.
    QQuickItem* view = panel->contentItem()->childItems().first();
    view->setProperty("contentHeight", 300);
    EXPECT_EQ(panel->geometry(),
              RuntimeOverlayLayoutEngine{}.panelFrame(QSizeF(416, 28 + 300 + 32 + 44), *metrics).toRect());
    view->setProperty("contentHeight", 0);
    moveSessionTo([](SessionCoordinating& s) { s.reset(); });
    EXPECT_FALSE(panel->isVisible());

    // A new appearance while hidden resizes without showing; the next session shows that size.
    fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedWidgetAppearance),
                                  QStringLiteral("logoOnly"));
    runtime->viewModel().reloadSettings();
    EXPECT_EQ(panel->size(), QSize(128, 144));
    EXPECT_FALSE(panel->isVisible());
    moveSessionTo([](SessionCoordinating& s) { s.block(SessionBlockReason::secureField); });
    EXPECT_EQ(overlay.panel(), panel);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->surface() ? panel->surface()->objectName() : QString(), QStringLiteral("overlay-compact"));
    EXPECT_EQ(panel->geometry(), RuntimeOverlayLayoutEngine{}.panelFrame(QSizeF(128, 144), *metrics).toRect());
}

TEST_F(AppRuntimeTest, AnUnusableAddressStopsTheStartWithItsNameBeforeAnythingIsBuilt) {
    for (const char* key : {AppConfiguration::backendBaseURLKey, AppConfiguration::publicWebURLKey}) {
        QProcessEnvironment environment;
        environment.insert(QString::fromLatin1(key), QStringLiteral("ftp://files.example.com"));
        QNetworkAccessManager network;
        try {
            makeLiveBootstrap(AppConfiguration(environment, {}, true), &network);
            ADD_FAILURE() << key;
        } catch (const AppConfigurationError& error) {
            EXPECT_TRUE(error.message().contains(QLatin1String(key))) << key;
        }
    }
    for (const char* name : kFolders)
        EXPECT_TRUE(QDir(home.filePath(QString::fromLatin1(name))).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
}

// Copies started with different runtime folders share the settings, so they share the lock; a second
// copy started with the first finds it even before it listens.
TEST_F(AppRuntimeTest, ASecondLaunchMeetsTheFirstWhateverItsRuntimeFolderAndWaitsForItToListen) {
    QTemporaryDir runtimeA, runtimeB;
    qputenv("XDG_RUNTIME_DIR", runtimeA.path().toLocal8Bit());
    SingleInstanceLock first;
    ASSERT_EQ(first.acquire(), SingleInstanceLock::Outcome::acquired);
    qputenv("XDG_RUNTIME_DIR", runtimeB.path().toLocal8Bit());
    EXPECT_EQ(SingleInstanceLock().acquire(), SingleInstanceLock::Outcome::heldElsewhere);

    InstanceChannel running(runtimeA.path());
    bool reopened = false;
    std::optional<qint64> requester;
    QObject::connect(&running, &InstanceChannel::reopenRequested, [&](std::optional<qint64> asking) {
        reopened = true;
        requester = asking;
    });
    auto asked =
        std::async(std::launch::async, [&] { return InstanceChannel(runtimeA.path()).askRunningInstanceToReopen(); });
    QTimer::singleShot(300, &running, [&] { ASSERT_TRUE(running.listen()); });
    EXPECT_TRUE(
        test::waitUntil([&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000));
    EXPECT_TRUE(asked.get() == InstanceChannel::Reply::reopened && reopened);
    // The asking process is named, for the log of why the app ends.
    EXPECT_EQ(requester, QCoreApplication::applicationPid());
    EXPECT_EQ(InstanceChannel(runtimeB.path()).askRunningInstanceToReopen(std::chrono::milliseconds(100)),
              InstanceChannel::Reply::nobody);
}

// The view model sets a setting and goes on; when the file refuses it, the user still hears.
TEST_F(AppRuntimeTest, AChangeTheSettingsFileCannotTakeIsToldOnTheStatusLine) {
    const auto defaults = std::make_shared<JsonFileUserDefaults>(home.filePath("user-defaults.json"));
    fakes.settingsStore = std::make_shared<SettingsStore>(defaults);
    runtime = std::make_unique<AppRuntime>(fakes.bootstrap());
    defaults->setString(SettingsKeys::customInstructions, QString(17 << 20, 'x'));
    const QString expected = runtime->viewModel().context().strings().settingsChangeNotSaved();
    EXPECT_TRUE(test::waitUntil([&] { return runtime->viewModel().inlineMessage() == expected; }, 5000));
}

// No panel before the first dictation; a session shows the whole pill in its place and ends hidden.
TEST_F(AppRuntimeTest, TheOverlayIsMadeAtTheFirstSessionAndShowsThePillWhole) {
    runtime = std::make_unique<AppRuntime>(fakes.bootstrap());
    RuntimeOverlayController& overlay = runtime->overlayController();
    EXPECT_EQ(overlay.panel(), nullptr);
    for (int session = 0; session < 2; ++session) {
        moveSessionTo([](SessionCoordinating& s) { s.beginRecording(); });
        RuntimeOverlayPanel* panel = overlay.panel();
        ASSERT_NE(panel, nullptr);
        EXPECT_TRUE(panel->isVisible());
        const int pillHeight = int(panel->surface()->height());
        EXPECT_EQ(panel->mask().boundingRect(), QRect(28, 28, 360, pillHeight));
        EXPECT_EQ(panel->geometry(),
                  RuntimeOverlayLayoutEngine{}
                      .panelFrame(QSizeF(416, 28 + pillHeight + 44), *overlay.currentDisplayMetrics())
                      .toRect());
        moveSessionTo([](SessionCoordinating& s) { s.reset(); });
    }
}

// Started as the program starts, the runtime registers the hot key at once and draws the overlay's
// first frame out of sight once the event loop runs: nothing waits for that frame. A press while it
// is being drawn starts the capture and shows the whole pill, which the frame, once drawn, leaves up.
TEST_F(AppRuntimeTest, TheHotkeyIsRegisteredAtTheStartWhileTheOverlaysFirstFrameIsDrawnOutOfSight) {
    fakes.makeReadyForCloudDictation();
    runtime = std::make_unique<AppRuntime>(fakes.bootstrap(), AppConfiguration::current(),
                                           AppRuntime::OverlayStart::preparedOutOfSight);
    EXPECT_TRUE(runtime->viewModel().session()->isHotkeyMonitoringActive());
    EXPECT_TRUE(fakes.hotkeyMonitor->monitoring);
    EXPECT_EQ(runtime->overlayController().panel(), nullptr);
    // The start's queued work alone, not the window system's: no frame can have been drawn.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    RuntimeOverlayPanel* panel = runtime->overlayController().panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible() && panel->isPreparing());
    EXPECT_EQ(panel->mask(), QRegion(panel->width() - 1, panel->height() - 1, 1, 1));
    EXPECT_EQ(panel->geometry().bottomRight(), QPoint(0, 0));

    fakes.hotkeyMonitor->press();
    EXPECT_TRUE(test::waitUntil([&] { return fakes.audioCapture->calls.contains(QStringLiteral("startCapture")); }));
    EXPECT_TRUE(test::waitUntil([&] { return !panel->isPreparing(); }));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->mask().boundingRect(), QRect(28, 28, 360, int(panel->surface()->height())));
    // The out-of-sight frame comes late (this platform may draw none: it is told by hand).
    Q_EMIT panel->frameSwapped();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->mask().boundingRect(), QRect(28, 28, 360, int(panel->surface()->height())));
    EXPECT_EQ(fakes.hotkeyMonitor->calls.filter(QStringLiteral("startMonitoring(")).size(), 1);
}

// Where no press comes, the frame drawn out of sight hides the panel again and clears its mask; a
// combination another client holds is told at the start, not once that frame is drawn.
TEST_F(AppRuntimeTest, AHotkeyRefusedAtTheStartIsToldWithoutWaitingForTheOverlaysFirstFrame) {
    fakes.makeReadyForCloudDictation();
    fakes.hotkeyMonitor->startOutcome.failAlways(
        HotkeyMonitorError(HotkeyMonitorError::Case::registrationFailed, 10, QStringLiteral("BadAccess")));
    runtime = std::make_unique<AppRuntime>(fakes.bootstrap(), AppConfiguration::current(),
                                           AppRuntime::OverlayStart::preparedOutOfSight);
    const QString told = SessionTexts::hotkeyStartFailed(runtime->viewModel().context().strings());
    EXPECT_EQ(runtime->viewModel().inlineMessage(), told);
    EXPECT_FALSE(runtime->viewModel().session()->isHotkeyMonitoringActive());
    EXPECT_FALSE(fakes.hotkeyMonitor->monitoring);

    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    RuntimeOverlayPanel* panel = runtime->overlayController().panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isPreparing());
    Q_EMIT panel->frameSwapped();
    EXPECT_TRUE(test::waitUntil([&] { return !panel->isPreparing(); }, 5000));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->mask(), QRegion());
}

// A first copy that holds the lock but does not answer (hung, or hanging up) leaves the second
// launch failing with its reason: exit status 0 would tell a launcher the dashboard opened.
TEST_F(AppRuntimeTest, ASecondLaunchWhoseFirstCopyDoesNotAnswerFailsSayingSo) {
    QTemporaryDir runtimeFolder;
    qputenv("XDG_RUNTIME_DIR", runtimeFolder.path().toLocal8Bit());
    SingleInstanceLock first;
    ASSERT_EQ(first.acquire(), SingleInstanceLock::Outcome::acquired);
    QLocalServer running;
    ASSERT_TRUE(running.listen(InstanceChannel().socketPath()));
    for (const bool hangsUp : {false, true}) {
        SCOPED_TRACE(hangsUp ? "hangs up" : "silent");
        const auto connection = QObject::connect(&running, &QLocalServer::newConnection, [&] {
            QLocalSocket* socket = running.nextPendingConnection();
            if (hangsUp) socket->disconnectFromServer();
        });
        QProcess second;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(environment);
        second.start(QStringLiteral(QUORVELLE_APP_PATH), {});
        ASSERT_TRUE(test::waitUntil([&] { return second.state() == QProcess::NotRunning; }, 30000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 1);
        EXPECT_TRUE(second.readAllStandardError().contains("already running for this user, and did not answer"));
        QObject::disconnect(connection);
    }
}

// A settings folder that cannot hold a lock (its parent is a file: as root a read-only folder would
// still take one) leaves the lock beside the history: a second launch meeting it never runs beside
// the first, and finds it by its socket. With no lock anywhere, the socket alone still leads a
// second launch to the running copy.
TEST_F(AppRuntimeTest, ASecondLaunchFindsTheRunningCopyWhenTheLocksCannotAllBeMade) {
    QFile file(home.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_CONFIG_HOME", home.filePath("file/config").toLocal8Bit());
    QTemporaryDir runtimeFolder, otherRuntimeFolder;
    qputenv("XDG_RUNTIME_DIR", runtimeFolder.path().toLocal8Bit());
    const auto launch = [](const QString& runtime) {
        QProcess second;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        second.setProcessEnvironment(environment);
        second.start(QStringLiteral(QUORVELLE_APP_PATH), {});
        // A second copy that runs never ends by itself.
        EXPECT_TRUE(test::waitUntil([&] { return second.state() == QProcess::NotRunning; }, 30000));
        return std::pair{second.exitCode(), second.readAllStandardError()};
    };
    auto first = std::make_unique<SingleInstanceLock>();
    ASSERT_EQ(first->acquire(), SingleInstanceLock::Outcome::acquired);
    EXPECT_EQ(first->unavailableFolders().join(u' ').toStdString(), AppPaths::configDirectory().toStdString());
    EXPECT_EQ(SingleInstanceLock().acquire(), SingleInstanceLock::Outcome::heldElsewhere);
    InstanceChannel running;
    ASSERT_TRUE(running.listen());
    int reopened = 0;
    QObject::connect(&running, &InstanceChannel::reopenRequested, [&] { ++reopened; });

    EXPECT_EQ(launch(runtimeFolder.path()).first, 0);
    EXPECT_EQ(reopened, 1);
    const auto [status, said] = launch(otherRuntimeFolder.path());
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(said.contains("already running for this user, and did not answer")) << said.toStdString();

    first.reset();
    qputenv("XDG_DATA_HOME", home.filePath("file/data").toLocal8Bit());
    SingleInstanceLock none;
    EXPECT_EQ(none.acquire(), SingleInstanceLock::Outcome::unavailable);
    EXPECT_EQ(none.unavailableFolders(),
              (QStringList{AppPaths::configDirectory(), AppPaths::applicationSupportDirectory()}));
    EXPECT_EQ(launch(runtimeFolder.path()).first, 0);
    EXPECT_EQ(reopened, 2);
}

}  // namespace
}  // namespace quorvelle
