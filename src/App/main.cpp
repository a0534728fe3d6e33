#include "App/AppExitLog.h"
#include "App/AppExitWatch.h"
#include "App/AppRuntime.h"
#include "App/ApplicationShell.h"
#include "App/BuildKeys.h"
#include "App/InstanceChannel.h"
#include "Platform/Linux/UnixSignalQuit.h"
#include "Services/Storage/SettingsStore.h"
#include "Services/Storage/TranscriptHistoryStoring.h"
#include "Support/HomeFolderInMessages.h"
#include "Support/SingleInstanceLock.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Common/ViewSetup.h"

#include <QApplication>
#include <QtDebug>

#include <xcb/xcb.h>

#include <unistd.h>

#include <cstdio>
#include <memory>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// The history store a quit left to the process's end; never destroyed.
std::shared_ptr<quorvelle::TranscriptHistoryStoring>* g_historyLeftToTheEnd = nullptr;

int run(int argc, char** argv) {
    // Warnings name files; the user's name stays out of them.
    quorvelle::hideHomeFolderInMessages();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvelle"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorvelle"));
    QApplication::setApplicationVersion(quorvelle::BuildKeys::current().shortVersion);
    QApplication::setDesktopFileName(QStringLiteral("com.dovent.Quorvelle"));
    QApplication::setOrganizationDomain(QStringLiteral("dovent.com"));
    // Before any store opens: a second copy would overwrite the first one's settings and history.
    // A running copy answers on its socket whatever the locks say: they may be out of reach to both.
    quorvelle::InstanceChannel channel;
    using Reply = quorvelle::InstanceChannel::Reply;
    const auto runningElsewhere = [](Reply reply) {
        if (reply == Reply::reopened) return 0;
        qWarning("Quorvelle is already running for this user, and did not answer");
        return 1;
    };
    if (const Reply reply = channel.askRunningInstanceToReopen(std::chrono::milliseconds(0)); reply != Reply::nobody)
        return runningElsewhere(reply);
    quorvelle::SingleInstanceLock instanceLock;
    QString unguardedFolders;
    switch (instanceLock.acquire()) {
        case quorvelle::SingleInstanceLock::Outcome::acquired:
            for (const QString& folder : instanceLock.unavailableFolders())
                qWarning("Cannot make a single-instance lock in %s; the other lock guards this copy",
                         qUtf8Printable(folder));
            break;
        case quorvelle::SingleInstanceLock::Outcome::heldElsewhere:
            return runningElsewhere(channel.askRunningInstanceToReopen());
        case quorvelle::SingleInstanceLock::Outcome::unavailable:
            unguardedFolders = instanceLock.unavailableFolders().join(QStringLiteral(", "));
            qWarning("Cannot make a single-instance lock in %s; a second copy started now would run beside this one",
                     qUtf8Printable(unguardedFolders));
            break;
    }
    if (!channel.listen()) qWarning("Cannot listen for later launches; they will not reach this copy");
    // A tray app has no main window; closing the dashboard must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // Style, fonts and QML types must be in place before the first view is built.
    quorvelle::ViewSetup::prepare();

    std::unique_ptr<quorvelle::AppRuntime> runtime;
    try {
        runtime = std::make_unique<quorvelle::AppRuntime>(std::nullopt, quorvelle::AppConfiguration::current(),
                                                          quorvelle::AppRuntime::OverlayStart::preparedOutOfSight);
    } catch (const quorvelle::AppConfigurationError& error) {
        std::fprintf(stderr, "Quorvelle cannot start: %s\n", qPrintable(error.message()));
        return 2;
    }
    // Said where the user looks, not only in the log.
    if (!unguardedFolders.isEmpty()) {
        quorvelle::ViewModelContext& context = runtime->viewModel().context();
        context.setInlineMessage(context.strings().singleInstanceUnguarded(unguardedFolders));
    }
    // Why this run ends is logged from here on; the user defaults file holds the log.
    quorvelle::AppExitLog& exitLog = runtime->exitLog();
    exitLog.recordStart(QApplication::applicationVersion());
    quorvelle::ApplicationShell shell(std::move(runtime));
    // Qt's own X connection: once it breaks, Qt ends the process.
    auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    quorvelle::AppExitWatch exitWatch(
        exitLog,
        [defaults = shell.runtime().bootstrap().settingsStore->userDefaults()] { defaults->waitUntilWritten(); },
        [connection = x11 ? x11->connection() : nullptr] {
            return connection && xcb_connection_has_error(connection) != 0;
        },
        // A lost display ends the app as a quit does: what the history's threads have not written yet is
        // journaled first.
        [&shell] { shell.runtime().bootstrap().transcriptHistoryStore->prepareForExit(); });
    QObject::connect(&channel, &quorvelle::InstanceChannel::reopenRequested, &shell,
                     [&](std::optional<qint64> requester) {
                         exitLog.recordReopenRequest(requester);
                         shell.openDashboard();
                     });
    shell.start();
    // A logout's SIGTERM quits as the menu's Quit does: the history still being written is kept.
    const quorvelle::UnixSignalQuit signalQuit([&exitLog](const quorvelle::QuitSignal& heard) {
        exitLog.recordSignal(quorvelle::UnixSignalQuit::signalName(heard.number), heard.senderProcess, heard.senderUser,
                             heard.senderName);
    });
    const int code = QApplication::exec();
    exitWatch.eventLoopEnded(code);
    // The history's threads may be reading or writing a long history, and a busy machine keeps them
    // waiting for a processor: a quit (a logout's SIGTERM above all) does not wait for them. What
    // they would write is on disk already, in the journal beside the history.
    const std::shared_ptr<quorvelle::TranscriptHistoryStoring>& history =
        shell.runtime().bootstrap().transcriptHistoryStore;
    history->prepareForExit();
    g_historyLeftToTheEnd = new std::shared_ptr<quorvelle::TranscriptHistoryStoring>(history);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    const int code = run(argc, argv);
    if (!g_historyLeftToTheEnd) return code;
    // Everything else has ended. The history's threads may still be at work: the process ends
    // around them, without the static destructors that would run beside them.
    std::fflush(nullptr);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check();
#endif
    ::_exit(code);
}
