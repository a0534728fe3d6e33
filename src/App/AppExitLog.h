#pragma once

#include "Services/Storage/DiagnosticsStoring.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace quorvelle {

// Why the app ended, kept in the diagnostics log so that an end nobody asked for names its cause
// the next time it is seen. Every start is logged with its process id, every end the app takes
// part in with its cause; each is also kept as the store's lifecycle mark, which no number of later
// events pushes out. A start that finds the last run's start newer than any end tells that that
// run ended without a word (killed outright, crashed, or the machine stopped). Only the first
// cause of a run is kept: what follows it is the quit it set off. The causes may be told from any
// thread (a fatal error comes from where it happened); the start, on the main thread, before them.
class AppExitLog {
public:
    using Clock = std::function<QDateTime()>;

    static constexpr const char* startedCode = "app.lifecycle.started";
    static constexpr const char* signalCode = "app.exit.signal";
    static constexpr const char* quitActionCode = "app.exit.quit_action";
    static constexpr const char* fatalErrorCode = "app.exit.fatal_error";
    static constexpr const char* unexplainedCode = "app.exit.unexplained";
    static constexpr const char* displayLostCode = "app.exit.display_lost";
    static constexpr const char* unrecordedCode = "app.exit.unrecorded";
    static constexpr const char* reopenRequestCode = "app.lifecycle.reopen_requested";

    AppExitLog(std::shared_ptr<DiagnosticsStoring> store, qint64 processId, Clock now = &QDateTime::currentDateTimeUtc);

    // Notes a last run whose end went unrecorded, then logs this start.
    void recordStart(const QString& version);
    // A quit signal; the sender as the system told it, when it did.
    void recordSignal(const QString& signalName, std::optional<qint64> senderProcess, std::optional<quint32> senderUser,
                      const QString& senderName);
    // The user's Quit; `where` names the control.
    void recordQuitAction(const QString& where);
    // A message or exception that ends the process.
    void recordFatalError(const QString& what);
    // The connection to the X display broke: Qt ends the process when it finds that.
    void recordDisplayLost();
    // A quit with none of the causes above told first; `how` says what is known of it.
    void recordUnexplainedQuit(const QString& how);
    // Not an end: a second start asked this copy to show itself. Kept so that an end close after
    // it can be laid beside it. `requester` as the socket's peer credentials gave it.
    void recordReopenRequest(std::optional<qint64> requester);

    bool hasCause() const { return m_hasCause.load(); }

private:
    std::optional<SanitizedDiagnosticsEvent> lastLifecycleMark() const;
    void recordCause(DiagnosticsEventLevel level, const char* code, const QString& message);
    SanitizedDiagnosticsEvent record(DiagnosticsEventLevel level, const char* code, const QString& message);

    std::shared_ptr<DiagnosticsStoring> m_store;
    qint64 m_processId;
    Clock m_now;
    std::atomic<bool> m_hasCause = false;
};

}  // namespace quorvelle
