#include "Services/Transcription/BackendTranscriptionClient.h"

#include "Models/QuorvelleError.h"
#include "Support/CancellationError.h"
#include "Support/Graphemes.h"
#include "Support/JsonCoding.h"

#include <QUuid>

#include <cxxabi.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <typeinfo>

namespace quorvelle {
namespace {

const QString kRoute = QStringLiteral("/v1/transcriptions");
const QString kContextLabel = QStringLiteral("cloud-transcription");
constexpr int kRetriesPerPhase = 2;  // three sends before the refresh, three after

QString newUUIDText() {
    return json::uuidToText(QUuid::createUuid());
}

bool isProviderFailure(QuorvelleErrorCase errorCase) {
    return errorCase == QuorvelleErrorCase::providerTimeout || errorCase == QuorvelleErrorCase::providerUnavailable;
}

QString caseName(const QuorvelleError& error) {
    using C = QuorvelleErrorCase;
    switch (error.errorCase()) {
        case C::rateLimitedRetryAfter:
            return QStringLiteral("rateLimitedRetryAfter(%1)").arg(error.retryAfterSeconds().value_or(0));
        case C::microphonePermissionDenied: return QStringLiteral("microphonePermissionDenied");
        case C::accessibilityPermissionDenied: return QStringLiteral("accessibilityPermissionDenied");
        case C::invalidAPIKey: return QStringLiteral("invalidAPIKey");
        case C::networkUnavailable: return QStringLiteral("networkUnavailable");
        case C::requestTimedOut: return QStringLiteral("requestTimedOut");
        case C::rateLimited: return QStringLiteral("rateLimited");
        case C::providerTimeout: return QStringLiteral("providerTimeout");
        case C::providerUnavailable: return QStringLiteral("providerUnavailable");
        case C::loginCodeAlreadyUsed: return QStringLiteral("loginCodeAlreadyUsed");
        case C::noSpeechDetected: return QStringLiteral("noSpeechDetected");
        case C::sessionAlreadyActive: return QStringLiteral("sessionAlreadyActive");
        case C::unsupportedTarget: return QStringLiteral("unsupportedTarget");
        case C::unexpectedRuntimeFailure: return QStringLiteral("unexpectedRuntimeFailure");
    }
    return QStringLiteral("unknown");
}

// "QuorvelleError" for quorvelle::QuorvelleError: the type's own name without its namespaces.
QString typeName(const std::exception& error) {
    const char* mangled = typeid(error).name();
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                                &std::free);
    QString name = QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
    const qsizetype separator = name.lastIndexOf(QStringLiteral("::"));
    return separator >= 0 ? name.mid(separator + 2) : name;
}

QString describe(const std::exception& error) {
    if (const auto* quorvelle = dynamic_cast<const QuorvelleError*>(&error)) return caseName(*quorvelle);
    return QString::fromUtf8(error.what());
}

// A server's text may be of any length: only a piece somewhat past the limit is redacted, so the
// work stays small, while a credential that crosses the limit is still seen whole and goes.
QString redactedPrefix(const QString& text, qsizetype limit) {
    const qsizetype kCredentialReach = 1024;
    return Graphemes::prefix(redactedDiagnosticText(Graphemes::prefix(text, limit + kCredentialReach)), limit);
}

}  // namespace

BackendDiagnosticErrorReport makeTranscriptionFailureReport(
    const std::exception& error, const std::optional<BackendRequestDiagnosticContext>& context,
    const QString& idempotencyKey) {
    BackendDiagnosticErrorReport report;
    report.errorName = redactedPrefix(typeName(error), 200);
    report.message = redactedPrefix(describe(error), 2000);
    report.route = Graphemes::prefix(kRoute, 300);
    report.contextLabel = Graphemes::prefix(kContextLabel, 120);
    report.idempotencyKey = Graphemes::prefix(idempotencyKey, 128);
    if (context) {
        if (context->requestID) report.requestID = Graphemes::prefix(*context->requestID, 200);
        report.statusCode = context->statusCode;
        if (context->errorCode) report.errorCode = redactedPrefix(*context->errorCode, 120);
        report.elapsedMilliseconds = context->elapsedMilliseconds;
    }
    return report;
}

BackendTranscriptionClient::BackendTranscriptionClient(std::shared_ptr<BackendAPIClienting> backendAPIClient,
                                                       std::shared_ptr<BackendTokenStoring> tokenStore,
                                                       Sleeper retrySleep)
    : m_backendAPIClient(std::move(backendAPIClient)),
      m_tokenStore(std::move(tokenStore)),
      m_retrySleep(std::move(retrySleep)) {}

QCoro::Task<QString> BackendTranscriptionClient::transcribe(CapturedAudioClip clip, std::optional<QString> prompt,
                                                            std::optional<QString> languageCode,
                                                            std::stop_token stopToken) {
    BackendTranscriptionRequest request;
    request.clip = std::move(clip);
    request.prompt = std::move(prompt);
    request.cleanupMode = TranscriptionPostProcessingMode::off;
    request.languageCode = std::move(languageCode);
    QCoro::Task<QString> upload = run(std::move(request), stopToken);
    co_return co_await upload;
}

QCoro::Task<QString> BackendTranscriptionClient::transcribeWithContext(CapturedAudioClip clip,
                                                                       TranscriptionPromptContext context,
                                                                       TranscriptionPostProcessingMode,
                                                                       std::optional<QString> languageCode,
                                                                       std::stop_token stopToken) {
    BackendTranscriptionRequest request;
    request.clip = std::move(clip);
    request.prompt = std::move(context.customInstructions);
    request.vocabularyHints = std::move(context.vocabularyHints);
    request.cleanupMode = TranscriptionPostProcessingMode::off;
    request.languageCode = std::move(languageCode);
    QCoro::Task<QString> upload = run(std::move(request), stopToken);
    co_return co_await upload;
}

QCoro::Task<QString> BackendTranscriptionClient::run(BackendTranscriptionRequest request, std::stop_token stopToken) {
    QString accessToken = m_tokenStore->accessToken().value_or(QString());
    if (accessToken.isEmpty()) {
        QCoro::Task<QString> refresh = refreshSession();
        accessToken = co_await refresh;
    }
    if (accessToken.isEmpty()) throw QuorvelleError(QuorvelleErrorCase::invalidAPIKey);
    const QString deviceID = m_tokenStore->deviceID().value_or(QString());
    if (deviceID.isEmpty()) throw QuorvelleError(QuorvelleErrorCase::invalidAPIKey);
    request.idempotencyKey = newUUIDText();

    bool refreshed = false;
    int attempt = 0;
    while (true) {
        std::exception_ptr failure;
        std::optional<QuorvelleErrorCase> failureCase;
        try {
            QCoro::Task<GeneratedTranscriptionResponse> send = m_backendAPIClient->uploadTranscription(
                request, accessToken, deviceID, QStringLiteral("QuorvelleBackendBoundary") + newUUIDText(), stopToken);
            const GeneratedTranscriptionResponse response = co_await send;
            co_return response.text;
        } catch (const CancellationError&) {
            throw;
        } catch (const QuorvelleError& error) {
            failure = std::current_exception();
            failureCase = error.errorCase();
        } catch (...) {
            failure = std::current_exception();
        }

        if (failureCase && isProviderFailure(*failureCase) && attempt < kRetriesPerPhase) {
            std::exception_ptr sleepFailure;
            try {
                QCoro::Task<void> pause = m_retrySleep(0.5 * std::pow(2.0, attempt), stopToken);
                co_await pause;
            } catch (const CancellationError&) {
                throw;
            } catch (...) {
                sleepFailure = std::current_exception();
            }
            if (!sleepFailure) {
                ++attempt;
                continue;
            }
            failure = sleepFailure;
        } else if (failureCase == QuorvelleErrorCase::invalidAPIKey && !refreshed) {
            // One refresh per call; its own failure ends the call without a report.
            QCoro::Task<QString> refresh = refreshSession();
            accessToken = co_await refresh;
            refreshed = true;
            attempt = 0;
            continue;
        }
        QCoro::Task<void> report = reportFailure(failure, accessToken, request.idempotencyKey);
        co_await report;
        std::rethrow_exception(failure);
    }
}

QCoro::Task<QString> BackendTranscriptionClient::refreshSession() {
    const QString refreshToken = m_tokenStore->refreshToken().value_or(QString());
    if (refreshToken.isEmpty()) throw QuorvelleError(QuorvelleErrorCase::invalidAPIKey);
    QCoro::Task<BackendSessionRefreshResponse> refresh = m_backendAPIClient->refreshSession(refreshToken);
    const BackendSessionRefreshResponse response = co_await refresh;
    m_tokenStore->saveAccessToken(response.accessToken);
    m_tokenStore->saveRefreshToken(response.refreshToken);
    co_return response.accessToken;
}

QCoro::Task<void> BackendTranscriptionClient::reportFailure(std::exception_ptr failure, QString accessToken,
                                                            QString idempotencyKey) {
    std::optional<BackendRequestDiagnosticContext> context;
    if (auto* diagnostics = dynamic_cast<BackendRequestDiagnosticsProviding*>(m_backendAPIClient.get()))
        context = diagnostics->lastRequestDiagnosticContext();

    BackendDiagnosticErrorReport report;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        report = makeTranscriptionFailureReport(error, context, idempotencyKey);
    } catch (...) {
        report = makeTranscriptionFailureReport(std::runtime_error("unknown error"), context, idempotencyKey);
    }
    // The report never changes the outcome of the transcription.
    try {
        QCoro::Task<void> send = m_backendAPIClient->reportDiagnosticError(std::move(report), std::move(accessToken));
        co_await send;
    } catch (...) {
    }
}

}  // namespace quorvelle
