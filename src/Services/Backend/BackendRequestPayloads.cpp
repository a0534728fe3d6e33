#include "Services/Backend/BackendRequestPayloads.h"

#include "Services/Backend/BackendWireCoding.h"

#include <QJsonArray>

namespace quorvelle {

using wire::putOptional;

QJsonObject DeviceLoginStartPayload::toJson() const {
    QJsonObject object;
    putOptional(object, QStringLiteral("device_name"), deviceName);
    putOptional(object, QStringLiteral("os_version"), osVersion);
    putOptional(object, QStringLiteral("app_version"), appVersion);
    putOptional(object, QStringLiteral("build"), build);
    return object;
}

QJsonObject DeviceLoginPollPayload::toJson() const {
    return {{QStringLiteral("device_login_id"), deviceLoginId},
            {QStringLiteral("device_poll_secret"), devicePollSecret}};
}

QJsonObject SessionRefreshPayload::toJson() const {
    return {{QStringLiteral("refresh_token"), refreshToken}};
}

QJsonObject DeviceRegistrationPayload::toJson() const {
    QJsonObject object{{QStringLiteral("device_fingerprint_hash"), deviceFingerprintHash}};
    putOptional(object, QStringLiteral("device_name"), deviceName);
    putOptional(object, QStringLiteral("os_version"), osVersion);
    putOptional(object, QStringLiteral("app_version"), appVersion);
    putOptional(object, QStringLiteral("build"), build);
    return object;
}

QJsonObject MacLogEventContextPayload::toJson() const {
    QJsonObject object{{QStringLiteral("platform"), platform}};
    putOptional(object, QStringLiteral("app_version"), appVersion);
    putOptional(object, QStringLiteral("build"), build);
    putOptional(object, QStringLiteral("context_label"), contextLabel);
    putOptional(object, QStringLiteral("elapsed_ms"), elapsedMs);
    putOptional(object, QStringLiteral("idempotency_key"), idempotencyKey);
    return object;
}

QJsonObject MacLogEventPayload::toJson() const {
    QJsonObject object{
        {QStringLiteral("level"), level},
        {QStringLiteral("source"), source},
        {QStringLiteral("error_name"), errorName},
        {QStringLiteral("message"), message},
        {QStringLiteral("context"), context.toJson()},
    };
    putOptional(object, QStringLiteral("route"), route);
    putOptional(object, QStringLiteral("status_code"), statusCode);
    putOptional(object, QStringLiteral("error_code"), errorCode);
    putOptional(object, QStringLiteral("stack"), stack);
    putOptional(object, QStringLiteral("request_id"), requestId);
    return object;
}

QJsonObject FocusedTargetPayload::toJson() const {
    QJsonObject object{{QStringLiteral("secure"), secure}};
    putOptional(object, QStringLiteral("app_bundle_id"), appBundleId);
    putOptional(object, QStringLiteral("role"), role);
    return object;
}

QJsonObject TranscriptionMetadataPayload::toJson() const {
    QJsonObject object{
        {QStringLiteral("idempotency_key"), idempotencyKey},
        {QStringLiteral("client_duration_ms"), clientDurationMs},
        {QStringLiteral("language"), language},
        {QStringLiteral("cleanup_mode"), cleanupMode},
        {QStringLiteral("focused_target"), focusedTarget.toJson()},
    };
    putOptional(object, QStringLiteral("custom_instructions"), customInstructions);
    if (vocabularyHints)
        object.insert(QStringLiteral("vocabulary_hints"), QJsonArray::fromStringList(*vocabularyHints));
    return object;
}

}  // namespace quorvelle
