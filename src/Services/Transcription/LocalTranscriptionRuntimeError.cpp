#include "Services/Transcription/LocalTranscriptionRuntimeError.h"

namespace quorvelle {
namespace {

const char* caseName(LocalTranscriptionRuntimeErrorCase errorCase) {
    using C = LocalTranscriptionRuntimeErrorCase;
    switch (errorCase) {
        case C::runtimeUnavailable: return "runtimeUnavailable";
        case C::modelMissing: return "modelMissing";
        case C::modelLoadFailed: return "modelLoadFailed";
        case C::transcriptionFailed: return "transcriptionFailed";
        case C::noSpeechDetected: return "noSpeechDetected";
        case C::emptyTranscript: return "emptyTranscript";
    }
    return "unknown";
}

}  // namespace

LocalTranscriptionRuntimeError::LocalTranscriptionRuntimeError(LocalTranscriptionRuntimeErrorCase errorCase,
                                                               QString reason, QString modelTitle,
                                                               std::optional<LocalTranscriptionDiagnostics> diagnostics)
    : m_case(errorCase),
      m_reason(std::move(reason)),
      m_modelTitle(std::move(modelTitle)),
      m_diagnostics(std::move(diagnostics)) {
    QString text = QString::fromLatin1(caseName(m_case));
    if (!m_reason.isEmpty()) text += QStringLiteral("(reason: %1)").arg(m_reason);
    if (!m_modelTitle.isEmpty()) text += QStringLiteral("(modelTitle: %1)").arg(m_modelTitle);
    if (m_diagnostics) text += QStringLiteral(" segments=%1").arg(m_diagnostics->segmentCount);
    m_what = text.toUtf8();
}

LocalTranscriptionRuntimeError LocalTranscriptionRuntimeError::runtimeUnavailable(const QString& reason) {
    return {LocalTranscriptionRuntimeErrorCase::runtimeUnavailable, reason, {}, std::nullopt};
}

LocalTranscriptionRuntimeError LocalTranscriptionRuntimeError::modelMissing(const QString& modelTitle) {
    return {LocalTranscriptionRuntimeErrorCase::modelMissing, {}, modelTitle, std::nullopt};
}

LocalTranscriptionRuntimeError LocalTranscriptionRuntimeError::modelLoadFailed(const QString& modelTitle) {
    return {LocalTranscriptionRuntimeErrorCase::modelLoadFailed, {}, modelTitle, std::nullopt};
}

LocalTranscriptionRuntimeError LocalTranscriptionRuntimeError::transcriptionFailed(const QString& modelTitle) {
    return {LocalTranscriptionRuntimeErrorCase::transcriptionFailed, {}, modelTitle, std::nullopt};
}

LocalTranscriptionRuntimeError LocalTranscriptionRuntimeError::noSpeechDetected(
    const QString& modelTitle, const LocalTranscriptionDiagnostics& diagnostics) {
    return {LocalTranscriptionRuntimeErrorCase::noSpeechDetected, {}, modelTitle, diagnostics};
}

LocalTranscriptionRuntimeError LocalTranscriptionRuntimeError::emptyTranscript(
    const QString& modelTitle, const LocalTranscriptionDiagnostics& diagnostics) {
    return {LocalTranscriptionRuntimeErrorCase::emptyTranscript, {}, modelTitle, diagnostics};
}

}  // namespace quorvelle
