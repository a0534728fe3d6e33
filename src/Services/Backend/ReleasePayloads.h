#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorvelle {

// Bodies of the release service. Their keys are exact (no case conversion); unknown keys are
// ignored. A missing required key or a wrong type throws WireDecodingError, and one bad release
// fails the whole list.

struct ReleaseCategoryPayload {
    QString label;
    QStringList items;

    static ReleaseCategoryPayload fromJson(const QJsonValue& json);
};

struct ReleaseLocaleBody {
    std::optional<QString> summary;
    std::optional<QList<ReleaseCategoryPayload>> categories;

    static ReleaseLocaleBody fromJson(const QJsonValue& json);
};

struct ReleasePayload {
    std::optional<QString> id;
    QString channel;
    QString version;
    QString build;
    std::optional<QString> notesSummary;
    // Keyed by locale code ("en", "tr" ...).
    QMap<QString, ReleaseLocaleBody> notesBody;
    QDateTime releasedAt;

    static ReleasePayload fromJson(const QJsonValue& json);
};

struct ReleaseNotesListPayload {
    QList<ReleasePayload> releases;

    static ReleaseNotesListPayload fromJson(const QJsonValue& json);
};

struct LatestReleasePayload {
    QString version;
    QString build;
    // As sent; the checker decides whether it is an address.
    QString downloadURL;

    static LatestReleasePayload fromJson(const QJsonValue& json);
};

// The document of a body; throws WireDecodingError when the bytes are not a JSON object or array.
QJsonValue releaseDocument(const QByteArray& body);

// An internet date-time with a zone, with or without fractional seconds; anything else throws
// WireDecodingError "Date string is not valid ISO-8601.".
QDateTime decodeReleaseDate(const QJsonValue& value);

}  // namespace quorvelle
