#include "Services/Backend/ReleasePayloads.h"

#include "Services/Backend/BackendWireCoding.h"

#include <QJsonArray>
#include <QJsonObject>

namespace quorvelle {

namespace {

QJsonArray arrayValue(const QJsonValue& value, const QString& key) {
    if (value.isUndefined() || value.isNull()) throw WireDecodingError(QStringLiteral("\"%1\" is missing").arg(key));
    if (!value.isArray()) throw WireDecodingError(QStringLiteral("\"%1\" is not an array").arg(key));
    return value.toArray();
}

QJsonArray requiredArray(const QJsonObject& object, const QString& key) {
    return arrayValue(object.value(key), key);
}

std::optional<QJsonArray> optionalArray(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull()) return std::nullopt;
    return arrayValue(value, key);
}

template <typename Payload>
QList<Payload> decodeEach(const QJsonArray& array) {
    QList<Payload> decoded;
    decoded.reserve(array.size());
    for (const QJsonValue& element : array)
        decoded.append(Payload::fromJson(element));
    return decoded;
}

}  // namespace

ReleaseCategoryPayload ReleaseCategoryPayload::fromJson(const QJsonValue& json) {
    const QJsonObject object = wire::asObject(json, QStringLiteral("release category"));
    ReleaseCategoryPayload payload;
    payload.label = wire::requiredString(object, QStringLiteral("label"));
    for (const QJsonValue& item : requiredArray(object, QStringLiteral("items"))) {
        if (!item.isString()) throw WireDecodingError(QStringLiteral("\"items\" holds a value that is not a string"));
        payload.items.append(item.toString());
    }
    return payload;
}

ReleaseLocaleBody ReleaseLocaleBody::fromJson(const QJsonValue& json) {
    const QJsonObject object = wire::asObject(json, QStringLiteral("release notes body"));
    ReleaseLocaleBody body;
    body.summary = wire::optionalString(object, QStringLiteral("summary"));
    if (const auto categories = optionalArray(object, QStringLiteral("categories"))) {
        body.categories = decodeEach<ReleaseCategoryPayload>(*categories);
    }
    return body;
}

ReleasePayload ReleasePayload::fromJson(const QJsonValue& json) {
    const QJsonObject object = wire::asObject(json, QStringLiteral("release"));
    ReleasePayload payload;
    payload.id = wire::optionalString(object, QStringLiteral("id"));
    payload.channel = wire::requiredString(object, QStringLiteral("channel"));
    payload.version = wire::requiredString(object, QStringLiteral("version"));
    payload.build = wire::requiredString(object, QStringLiteral("build"));
    payload.notesSummary = wire::optionalString(object, QStringLiteral("notes_summary"));
    const QJsonObject notesBody = wire::requiredObject(object, QStringLiteral("notes_body"));
    for (auto it = notesBody.begin(); it != notesBody.end(); ++it) {
        payload.notesBody.insert(it.key(), ReleaseLocaleBody::fromJson(it.value()));
    }
    const QJsonValue releasedAt = object.value(QStringLiteral("released_at"));
    if (releasedAt.isUndefined() || releasedAt.isNull()) {
        throw WireDecodingError(QStringLiteral("\"released_at\" is missing"));
    }
    payload.releasedAt = decodeReleaseDate(releasedAt);
    return payload;
}

ReleaseNotesListPayload ReleaseNotesListPayload::fromJson(const QJsonValue& json) {
    const QJsonObject object = wire::asObject(json, QStringLiteral("release list"));
    return ReleaseNotesListPayload{decodeEach<ReleasePayload>(requiredArray(object, QStringLiteral("releases")))};
}

LatestReleasePayload LatestReleasePayload::fromJson(const QJsonValue& json) {
    const QJsonObject object = wire::asObject(json, QStringLiteral("latest release"));
    LatestReleasePayload payload;
    payload.version = wire::requiredString(object, QStringLiteral("version"));
    payload.build = wire::requiredString(object, QStringLiteral("build"));
    payload.downloadURL = wire::requiredString(object, QStringLiteral("download_url"));
    return payload;
}

QJsonValue releaseDocument(const QByteArray& body) {
    const std::optional<QJsonValue> document = wire::parseDocument(body);
    if (!document) throw WireDecodingError(QStringLiteral("The body is not JSON."));
    return *document;
}

QDateTime decodeReleaseDate(const QJsonValue& value) {
    try {
        return wire::decodeISO8601Date(value);
    } catch (const WireDecodingError&) {
        throw WireDecodingError(QStringLiteral("Date string is not valid ISO-8601."));
    }
}

}  // namespace quorvelle
