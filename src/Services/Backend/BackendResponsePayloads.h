#pragma once

#include <QDateTime>
#include <QJsonValue>
#include <QMap>
#include <QString>
#include <QUrl>

#include <optional>

namespace quorvelle {

// Bodies the backend answers with. Each has one operation, fromJson, which throws WireDecodingError
// when a required field is missing, null or of the wrong type, or a present date is not an internet
// date-time. Unknown keys are ignored.

struct DeviceLoginStartResponsePayload {
    QString deviceLoginId;
    QString devicePollSecret;
    QString userCode;
    QUrl verificationUrl;
    std::optional<QDateTime> expiresAt;

    static DeviceLoginStartResponsePayload fromJson(const QJsonValue& json);
};

struct DeviceLoginPollResponsePayload {
    QString status;
    std::optional<QString> accessToken;
    std::optional<QString> refreshToken;
    std::optional<QDateTime> expiresAt;

    static DeviceLoginPollResponsePayload fromJson(const QJsonValue& json);
};

struct SessionRefreshResponsePayload {
    QString accessToken;
    QString refreshToken;
    std::optional<QDateTime> expiresAt;

    static SessionRefreshResponsePayload fromJson(const QJsonValue& json);
};

struct DevicePayload {
    QString id;

    static DevicePayload fromJson(const QJsonValue& json);
};

struct DeviceRegistrationEnvelope {
    QString status;
    DevicePayload device;

    static DeviceRegistrationEnvelope fromJson(const QJsonValue& json);
};

struct ClientConfigPayload {
    qint64 cacheTtlSeconds = 0;
    // Flag names exactly as the server sends them.
    QMap<QString, bool> flags;
    bool fallback = false;

    static ClientConfigPayload fromJson(const QJsonValue& json);
};

struct InternalLogEventAcceptedPayload {
    bool accepted = false;

    static InternalLogEventAcceptedPayload fromJson(const QJsonValue& json);
};

struct StatusResponsePayload {
    QString status;

    static StatusResponsePayload fromJson(const QJsonValue& json);
};

// Any JSON document; nothing of it is read.
struct EmptyResponsePayload {
    static EmptyResponsePayload fromJson(const QJsonValue& json);
};

struct ProblemErrorPayload {
    std::optional<QString> code;
};

struct ProblemResponsePayload {
    QString title;
    std::optional<QString> code;
    std::optional<QString> requestId;
    std::optional<ProblemErrorPayload> error;

    static ProblemResponsePayload fromJson(const QJsonValue& json);

    // The first present of code, error.code and title (an empty string counts as present).
    QString problemCode() const;
};

struct GeneratedTranscriptionLatency {
    qint64 backendTotal = 0;
    qint64 provider = 0;

    bool operator==(const GeneratedTranscriptionLatency&) const = default;
};

struct GeneratedTranscriptionResponse {
    QString requestId;
    std::optional<QString> status;
    QString text;
    std::optional<QString> detectedLanguage;
    std::optional<qint64> durationMs;
    std::optional<qint64> billableDurationMs;
    std::optional<GeneratedTranscriptionLatency> latencyMs;

    static GeneratedTranscriptionResponse fromJson(const QJsonValue& json);

    bool operator==(const GeneratedTranscriptionResponse&) const = default;
};

}  // namespace quorvelle
