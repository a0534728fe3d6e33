#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorvelle {

// Bodies the client sends to the backend. Each knows only its JSON object: snake_case keys, absent
// optional values left out.

struct DeviceLoginStartPayload {
    std::optional<QString> deviceName;
    std::optional<QString> osVersion;
    std::optional<QString> appVersion;
    std::optional<QString> build;

    QJsonObject toJson() const;
};

struct DeviceLoginPollPayload {
    QString deviceLoginId;
    QString devicePollSecret;

    QJsonObject toJson() const;
};

struct SessionRefreshPayload {
    QString refreshToken;

    QJsonObject toJson() const;
};

struct DeviceRegistrationPayload {
    QString deviceFingerprintHash;
    std::optional<QString> deviceName;
    std::optional<QString> osVersion;
    std::optional<QString> appVersion;
    std::optional<QString> build;

    QJsonObject toJson() const;
};

struct MacLogEventContextPayload {
    std::optional<QString> appVersion;
    std::optional<QString> build;
    std::optional<QString> contextLabel;
    std::optional<qint64> elapsedMs;
    std::optional<QString> idempotencyKey;
    QString platform;

    QJsonObject toJson() const;
};

struct MacLogEventPayload {
    QString level;
    QString source;
    QString errorName;
    QString message;
    std::optional<QString> route;
    std::optional<qint64> statusCode;
    std::optional<QString> errorCode;
    std::optional<QString> stack;
    std::optional<QString> requestId;
    MacLogEventContextPayload context;

    QJsonObject toJson() const;
};

struct FocusedTargetPayload {
    std::optional<QString> appBundleId;
    std::optional<QString> role;
    bool secure = false;

    QJsonObject toJson() const;
};

struct TranscriptionMetadataPayload {
    QString idempotencyKey;
    qint64 clientDurationMs = 0;
    QString language;
    std::optional<QString> customInstructions;
    std::optional<QStringList> vocabularyHints;
    QString cleanupMode;
    FocusedTargetPayload focusedTarget;

    QJsonObject toJson() const;
};

}  // namespace quorvelle
