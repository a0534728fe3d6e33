#pragma once

#include "Services/Backend/BackendAccountRecords.h"
#include "Services/Backend/BackendDiagnosticErrorReport.h"
#include "Services/Backend/BackendResponsePayloads.h"
#include "Services/Backend/BackendTranscriptionRequest.h"

#include <QCoroTask>
#include <QString>

#include <stop_token>

namespace quorvelle {

// The calls of the backend service. Every failure arrives as a QuorvelleError (see BackendAPIClient),
// except reportDiagnosticError, which never fails.
class BackendAPIClienting {
public:
    virtual ~BackendAPIClienting() = default;

    virtual QCoro::Task<BackendDeviceLoginStartResponse> startDeviceLogin(BackendDeviceLoginStartRequest request) = 0;
    virtual QCoro::Task<BackendDeviceLoginPollResponse> pollDeviceLogin(QString deviceLoginID,
                                                                        QString devicePollSecret) = 0;
    virtual QCoro::Task<BackendSessionRefreshResponse> refreshSession(QString refreshToken) = 0;
    virtual QCoro::Task<DeviceRegistrationEnvelope> registerDevice(BackendDeviceRegistrationRequest request,
                                                                   QString accessToken) = 0;
    virtual QCoro::Task<void> logout(QString accessToken) = 0;
    // Best effort: posts the report only when the backend's configuration asks for reports.
    virtual QCoro::Task<void> reportDiagnosticError(BackendDiagnosticErrorReport report, QString accessToken) = 0;
    // The multipart upload of one recording. A stop request aborts the transfer, which then ends
    // with CancellationError.
    virtual QCoro::Task<GeneratedTranscriptionResponse> uploadTranscription(BackendTranscriptionRequest request,
                                                                            QString accessToken, QString deviceID,
                                                                            QString boundary,
                                                                            std::stop_token stopToken = {}) = 0;
};

}  // namespace quorvelle
