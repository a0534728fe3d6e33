#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

namespace quorvelle {

// The program's own records of the sign-in calls; the client copies them to and from the wire bodies.

struct BackendDeviceLoginStartRequest {
    std::optional<QString> deviceName;
    std::optional<QString> osVersion;
    std::optional<QString> appVersion;
    std::optional<QString> build;
};

struct BackendDeviceLoginStartResponse {
    QString deviceLoginID;
    QString devicePollSecret;
    QString userCode;
    QUrl verificationURL;
    std::optional<QDateTime> expiresAt;
};

struct BackendDeviceLoginPollResponse {
    QString status;
    std::optional<QString> accessToken;
    std::optional<QString> refreshToken;
    std::optional<QDateTime> expiresAt;
};

struct BackendDeviceRegistrationRequest {
    QString deviceFingerprintHash;
    std::optional<QString> deviceName;
    std::optional<QString> osVersion;
    std::optional<QString> appVersion;
    std::optional<QString> build;
};

struct BackendSessionRefreshResponse {
    QString accessToken;
    QString refreshToken;
    std::optional<QDateTime> expiresAt;
};

}  // namespace quorvelle
