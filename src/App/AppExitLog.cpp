#include "App/AppExitLog.h"

#include "Services/Backend/BackendDiagnosticErrorReport.h"

#include <algorithm>

namespace quorvelle {

namespace {

bool isLifecycleMark(const SanitizedDiagnosticsEvent& event) {
    return event.code == QLatin1String(AppExitLog::startedCode) || event.code.startsWith(QLatin1String("app.exit."));
}

}  // namespace

AppExitLog::AppExitLog(std::shared_ptr<DiagnosticsStoring> store, qint64 processId, Clock now)
    : m_store(std::move(store)), m_processId(processId), m_now(std::move(now)) {}

void AppExitLog::recordStart(const QString& version) {
    const std::optional<SanitizedDiagnosticsEvent> last = lastLifecycleMark();
    if (last && last->code == QLatin1String(startedCode))
        record(DiagnosticsEventLevel::warning, unrecordedCode,
               QStringLiteral("The run logged at %1 (%2) ended without recording why: it was killed outright "
                              "(SIGKILL, as the out-of-memory killer or kill -9 sends), it crashed, or the "
                              "machine stopped")
                   .arg(last->timestamp.toString(Qt::ISODateWithMs), last->message));
    m_store->setLifecycleMark(
        record(DiagnosticsEventLevel::info, startedCode,
               QStringLiteral("Started as process %1, version %2").arg(m_processId).arg(version)));
}

void AppExitLog::recordSignal(const QString& signalName, std::optional<qint64> senderProcess,
                              std::optional<quint32> senderUser, const QString& senderName) {
    QString message = QStringLiteral("Quit on %1").arg(signalName);
    if (senderProcess) {
        message += QStringLiteral(" sent by process %1").arg(*senderProcess);
        if (!senderName.isEmpty()) message += QStringLiteral(" (%1)").arg(senderName);
        if (senderUser) message += QStringLiteral(" of user %1").arg(*senderUser);
    } else {
        message += QStringLiteral(" from the system (no sending process)");
    }
    recordCause(DiagnosticsEventLevel::info, signalCode, message);
}

void AppExitLog::recordQuitAction(const QString& where) {
    recordCause(DiagnosticsEventLevel::info, quitActionCode, QStringLiteral("Quit from %1").arg(where));
}

void AppExitLog::recordFatalError(const QString& what) {
    recordCause(DiagnosticsEventLevel::error, fatalErrorCode, QStringLiteral("Ended by a fatal error: %1").arg(what));
}

void AppExitLog::recordDisplayLost() {
    recordCause(DiagnosticsEventLevel::error, displayLostCode,
                QStringLiteral("Ended because the connection to the X display was lost (the X server stopped or "
                               "closed the connection)"));
}

void AppExitLog::recordUnexplainedQuit(const QString& how) {
    recordCause(DiagnosticsEventLevel::warning, unexplainedCode,
                QStringLiteral("Quit without a known cause: %1").arg(how));
}

void AppExitLog::recordReopenRequest(std::optional<qint64> requester) {
    record(DiagnosticsEventLevel::info, reopenRequestCode,
           requester
               ? QStringLiteral("A second start (process %1) asked this copy to show its dashboard").arg(*requester)
               : QStringLiteral("A second start asked this copy to show its dashboard"));
}

std::optional<SanitizedDiagnosticsEvent> AppExitLog::lastLifecycleMark() const {
    std::optional<SanitizedDiagnosticsEvent> kept = m_store->lifecycleMark();
    // A store written by an earlier version holds its marks only among the events, and a run of
    // such a version may have come after the kept mark: the newer of the two counts.
    const QList<SanitizedDiagnosticsEvent> events = m_store->events();
    const auto listed = std::find_if(events.begin(), events.end(), isLifecycleMark);
    if (listed != events.end() && (!kept || listed->timestamp > kept->timestamp)) return *listed;
    return kept;
}

void AppExitLog::recordCause(DiagnosticsEventLevel level, const char* code, const QString& message) {
    if (m_hasCause.exchange(true)) return;
    m_store->setLifecycleMark(record(level, code, message + QStringLiteral(" (process %1)").arg(m_processId)));
}

SanitizedDiagnosticsEvent AppExitLog::record(DiagnosticsEventLevel level, const char* code, const QString& message) {
    const SanitizedDiagnosticsEvent event =
        SanitizedDiagnosticsEvent::make(m_now(), level, QString::fromLatin1(code), redactedDiagnosticText(message));
    m_store->record(event);
    return event;
}

}  // namespace quorvelle
