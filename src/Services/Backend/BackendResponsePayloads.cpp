#include "Services/Backend/BackendResponsePayloads.h"

#include "Services/Backend/BackendWireCoding.h"

namespace quorvelle {

using namespace wire;

DeviceLoginStartResponsePayload DeviceLoginStartResponsePayload::fromJson(const QJsonValue& json) {
    const QJsonObject object = asObject(json, QStringLiteral("device login start answer"));
    return {
        requiredToken(object, QStringLiteral("device_login_id")),
        requiredToken(object, QStringLiteral("device_poll_secret")),
        requiredString(object, QStringLiteral("user_code")),
        requiredUrl(object, QStringLiteral("verification_url")),
        optionalDate(object, QStringLiteral("expires_at")),
    };
}

DeviceLoginPollResponsePayload DeviceLoginPollResponsePayload::fromJson(const QJsonValue& json) {
    const QJsonObject object = asObject(json, QStringLiteral("device login poll answer"));
    return {
        requiredString(object, QStringLiteral("status")),
        optionalToken(object, QStringLiteral("access_token")),
        optionalToken(object, QStringLiteral("refresh_token")),
        optionalDate(object, QStringLiteral("expires_at")),
    };
}

SessionRefreshResponsePayload SessionRefreshResponsePayload::fromJson(const QJsonValue& json) {
    const QJsonObject object = asObject(json, QStringLiteral("session refresh answer"));
    return {
        requiredToken(object, QStringLiteral("access_token")),
        requiredToken(object, QStringLiteral("refresh_token")),
        optionalDate(object, QStringLiteral("expires_at")),
    };
}

DevicePayload DevicePayload::fromJson(const QJsonValue& json) {
    return {requiredToken(asObject(json, QStringLiteral("device")), QStringLiteral("id"))};
}

DeviceRegistrationEnvelope DeviceRegistrationEnvelope::fromJson(const QJsonValue& json) {
    const QJsonObject object = asObject(json, QStringLiteral("device registration answer"));
    return {
        requiredString(object, QStringLiteral("status")),
        DevicePayload::fromJson(requiredObject(object, QStringLiteral("device"))),
    };
}

ClientConfigPayload ClientConfigPayload::fromJson(const QJsonValue& json) {
    const QJsonObject object = asObject(json, QStringLiteral("client configuration"));
    ClientConfigPayload payload;
    payload.cacheTtlSeconds = requiredInteger(object, QStringLiteral("cache_ttl_seconds"));
    const QJsonObject flags = requiredObject(object, QStringLiteral("flags"));
    for (auto it = flags.begin(); it != flags.end(); ++it) {
        payload.flags.insert(it.key(), requiredBool(flags, it.key()));
    }
    payload.fallback = requiredBool(object, QStringLiteral("fallback"));
    return payload;
}

InternalLogEventAcceptedPayload InternalLogEventAcceptedPayload::fromJson(const QJsonValue& json) {
    return {requiredBool(asObject(json, QStringLiteral("log event answer")), QStringLiteral("accepted"))};
}

StatusResponsePayload StatusResponsePayload::fromJson(const QJsonValue& json) {
    return {requiredString(asObject(json, QStringLiteral("status answer")), QStringLiteral("status"))};
}

EmptyResponsePayload EmptyResponsePayload::fromJson(const QJsonValue& json) {
    if (json.isUndefined()) throw WireDecodingError(QStringLiteral("the answer is not a JSON document"));
    return {};
}

ProblemResponsePayload ProblemResponsePayload::fromJson(const QJsonValue& json) {
    const QJsonObject object = asObject(json, QStringLiteral("problem body"));
    ProblemResponsePayload payload;
    payload.title = requiredString(object, QStringLiteral("title"));
    payload.code = optionalString(object, QStringLiteral("code"));
    payload.requestId = optionalString(object, QStringLiteral("request_id"));
    if (const auto error = optionalObject(object, QStringLiteral("error"))) {
        payload.error = ProblemErrorPayload{optionalString(*error, QStringLiteral("code"))};
    }
    return payload;
}

QString ProblemResponsePayload::problemCode() const {
    if (code) return *code;
    if (error && error->code) return *error->code;
    return title;
}

GeneratedTranscriptionResponse GeneratedTranscriptionResponse::fromJson(const QJsonValue& json) {
    const QJsonObject object = asObject(json, QStringLiteral("transcription answer"));
    GeneratedTranscriptionResponse response;
    response.requestId = requiredString(object, QStringLiteral("request_id"));
    response.status = optionalString(object, QStringLiteral("status"));
    response.text = requiredString(object, QStringLiteral("text"));
    response.detectedLanguage = optionalString(object, QStringLiteral("detected_language"));
    response.durationMs = optionalInteger(object, QStringLiteral("duration_ms"));
    response.billableDurationMs = optionalInteger(object, QStringLiteral("billable_duration_ms"));
    if (const auto latency = optionalObject(object, QStringLiteral("latency_ms"))) {
        response.latencyMs = GeneratedTranscriptionLatency{
            requiredInteger(*latency, QStringLiteral("backend_total")),
            requiredInteger(*latency, QStringLiteral("provider")),
        };
    }
    return response;
}

}  // namespace quorvelle
