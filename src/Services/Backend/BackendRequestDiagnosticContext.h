#pragma once

#include <QString>

#include <optional>

namespace quorvelle {

// What the client remembers of its last failed request, for the failure report of its caller.
struct BackendRequestDiagnosticContext {
    std::optional<QString> requestID;
    std::optional<qint64> statusCode;
    std::optional<QString> errorCode;
    std::optional<qint64> elapsedMilliseconds;

    bool operator==(const BackendRequestDiagnosticContext&) const = default;
};

class BackendRequestDiagnosticsProviding {
public:
    virtual ~BackendRequestDiagnosticsProviding() = default;

    // Hands out the record of the last failed request and forgets it, so each record is taken once.
    virtual std::optional<BackendRequestDiagnosticContext> lastRequestDiagnosticContext() = 0;
};

}  // namespace quorvelle
