// BackendTranscriptionClient: the cloud engine. Uploads one clip to the backend's transcription
// endpoint, retries provider time-outs and outages with a short back-off, refreshes the session once
// when the access token is refused, and reports a redacted failure to the backend before it gives up.
// A stop request ends the call with CancellationError and reports nothing: nothing went wrong.
#pragma once

#include "Services/Backend/BackendAPIClienting.h"
#include "Services/Backend/BackendRequestDiagnosticContext.h"
#include "Services/Backend/BackendTokenStoring.h"
#include "Services/Transcription/Transcribing.h"
#include "Support/CancellableSleep.h"

#include <exception>
#include <memory>

namespace quorvelle {

class BackendTranscriptionClient final : public ContextualTranscribing {
public:
    BackendTranscriptionClient(std::shared_ptr<BackendAPIClienting> backendAPIClient,
                               std::shared_ptr<BackendTokenStoring> tokenStore, Sleeper retrySleep = &sleepFor);

    // Sends the prompt as the custom instructions, no hints and the cleanup mode "off".
    QCoro::Task<QString> transcribe(CapturedAudioClip clip, std::optional<QString> prompt,
                                    std::optional<QString> languageCode, std::stop_token stopToken = {}) override;
    // Sends the context's instructions and hints; the cleanup runs on the device afterwards, so the
    // mode sent is always "off", and no focused target is sent.
    QCoro::Task<QString> transcribeWithContext(CapturedAudioClip clip, TranscriptionPromptContext context,
                                               TranscriptionPostProcessingMode cleanupMode,
                                               std::optional<QString> languageCode,
                                               std::stop_token stopToken = {}) override;

private:
    QCoro::Task<QString> run(BackendTranscriptionRequest request, std::stop_token stopToken);
    QCoro::Task<QString> refreshSession();
    QCoro::Task<void> reportFailure(std::exception_ptr failure, QString accessToken, QString idempotencyKey);

    std::shared_ptr<BackendAPIClienting> m_backendAPIClient;
    std::shared_ptr<BackendTokenStoring> m_tokenStore;
    Sleeper m_retrySleep;
};

// The failure report of a failed upload: each text redacted first, then cut to its limit, so that a
// credential cut short can never slip past the redaction.
BackendDiagnosticErrorReport makeTranscriptionFailureReport(
    const std::exception& error, const std::optional<BackendRequestDiagnosticContext>& context,
    const QString& idempotencyKey);

}  // namespace quorvelle
