#include "ViewModel/ViewModelContext.h"

#include "Models/SanitizedDiagnosticsEvent.h"
#include "Services/Backend/BackendDiagnosticErrorReport.h"

#include <QLocale>

namespace quorvelle {

ViewModelContext::ViewModelContext(ViewModelEnvironment environment,
                                   std::shared_ptr<DiagnosticsStoring> diagnosticsStore, QObject* parent)
    : QObject(parent),
      m_environment(std::move(environment)),
      m_diagnosticsStore(std::move(diagnosticsStore)),
      m_tasks(this, [this](std::exception_ptr failure) { reportTaskFailure(failure); }) {}

void ViewModelContext::setInlineMessage(std::optional<QString> message) {
    m_inlineMessage = std::move(message);
    Q_EMIT inlineMessageChanged();
}

AppStrings ViewModelContext::strings() const {
    return AppStrings(languageCode(m_appLanguage, QLocale()));
}

void ViewModelContext::setAppLanguage(AppLanguageOption option) {
    m_appLanguage = option;
    Q_EMIT stringsChanged();
}

void ViewModelContext::recordEvent(DiagnosticsEventLevel level, const QString& code, const QString& message) {
    // The store keeps what it is given; credentials in a message (an error's own text may carry one)
    // are redacted here, where every event is made.
    m_diagnosticsStore->record(SanitizedDiagnosticsEvent::make(now(), level, code, redactedDiagnosticText(message)));
    refreshDiagnosticsSnapshot();
}

void ViewModelContext::refreshDiagnosticsSnapshot() {
    if (m_refresher) m_refresher();
}

void ViewModelContext::reportTaskFailure(std::exception_ptr failure) {
    QString detail;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        detail = QString::fromUtf8(error.what());
    } catch (...) {
        detail = QStringLiteral("unknown");
    }
    recordEvent(DiagnosticsEventLevel::error, QStringLiteral("runtime.error.unexpected"),
                QStringLiteral("Arka plan gorevi beklenmedik sekilde bitti: ") + detail);
}

}  // namespace quorvelle
