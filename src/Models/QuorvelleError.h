// QuorvelleError: the failure that ends a dictation session visibly. One case (plus the
// retry-after seconds for the one case that has them), a fixed diagnostics code for the event
// log and a one-line Turkish description that the session writes as that event's message.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <exception>
#include <optional>

namespace quorvelle {

// Declaration order matters: the text tables and tests walk the cases in this order.
enum class QuorvelleErrorCase {
    rateLimitedRetryAfter,
    microphonePermissionDenied,
    accessibilityPermissionDenied,
    invalidAPIKey,
    networkUnavailable,
    requestTimedOut,
    rateLimited,
    providerTimeout,
    providerUnavailable,
    loginCodeAlreadyUsed,
    noSpeechDetected,
    sessionAlreadyActive,
    unsupportedTarget,
    unexpectedRuntimeFailure,
};

// Every case in declaration order.
const QList<QuorvelleErrorCase>& allQuorvelleErrorCases();

class QuorvelleError : public std::exception {
public:
    // A case without payload. Given rateLimitedRetryAfter it stands for a delay of 0 seconds;
    // use rateLimitedRetryAfter(seconds) to name the delay.
    explicit QuorvelleError(QuorvelleErrorCase errorCase);

    static QuorvelleError rateLimitedRetryAfter(qint64 seconds);

    QuorvelleErrorCase errorCase() const { return m_case; }

    // The seconds of rateLimitedRetryAfter; none for every other case.
    std::optional<qint64> retryAfterSeconds() const;

    // "runtime.error." + the case in snake case; both rate-limit cases share
    // "runtime.error.rate_limited" and unexpectedRuntimeFailure is "runtime.error.unexpected".
    QString diagnosticsCode() const;

    // Turkish one-liner in plain ASCII letters.
    QString errorDescription() const;

    // The description in UTF-8.
    const char* what() const noexcept override;

    // Equal when the case and, for rateLimitedRetryAfter, the seconds are equal.
    friend bool operator==(const QuorvelleError& a, const QuorvelleError& b) {
        return a.m_case == b.m_case && a.m_retryAfterSeconds == b.m_retryAfterSeconds;
    }

private:
    QuorvelleError(QuorvelleErrorCase errorCase, qint64 retryAfterSeconds);

    QuorvelleErrorCase m_case;
    qint64 m_retryAfterSeconds = 0;  // meaningful for rateLimitedRetryAfter only, else 0
    QByteArray m_what;
};

}  // namespace quorvelle
