#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUrl>

#include <optional>
#include <stdexcept>

namespace quorvelle {

// A backend body that does not have the form of its record. The client turns it into the failure of
// the call; the message says which key broke the rule.
class WireDecodingError : public std::runtime_error {
public:
    explicit WireDecodingError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// Readers for the fields of one JSON object of the backend. A required field that is missing, null or
// of the wrong type throws; an optional one may be missing or null but throws when it has a wrong type.
// Keys the record does not know are simply never asked for.
namespace wire {

// The JSON document of a body (object or array); none when the bytes are not JSON.
std::optional<QJsonValue> parseDocument(const QByteArray& body);

QJsonObject asObject(const QJsonValue& value, const QString& what);

QString requiredString(const QJsonObject& object, const QString& key);
std::optional<QString> optionalString(const QJsonObject& object, const QString& key);
// A token or id that is sent back in a header: a control character (a CR/LF would inject header
// lines) makes it fail like a wrong type.
QString requiredToken(const QJsonObject& object, const QString& key);
std::optional<QString> optionalToken(const QJsonObject& object, const QString& key);
qint64 requiredInteger(const QJsonObject& object, const QString& key);
std::optional<qint64> optionalInteger(const QJsonObject& object, const QString& key);
bool requiredBool(const QJsonObject& object, const QString& key);
QJsonObject requiredObject(const QJsonObject& object, const QString& key);
std::optional<QJsonObject> optionalObject(const QJsonObject& object, const QString& key);
// A string that forms a valid absolute web (http or https) address with a host: the addresses the
// backend hands out are opened for the user, where another scheme could start any handler.
QUrl requiredUrl(const QJsonObject& object, const QString& key);
std::optional<QDateTime> optionalDate(const QJsonObject& object, const QString& key);

// An internet date-time (RFC 3339: date, "T", time, "Z" or a numeric offset), with or without fractional
// seconds; throws "Invalid ISO8601 date: <text>" for anything else, a bare calendar date included.
QDateTime decodeISO8601Date(const QJsonValue& value);

// Writers that leave absent values out, so that no null reaches the wire.
void putOptional(QJsonObject& object, const QString& key, const std::optional<QString>& value);
void putOptional(QJsonObject& object, const QString& key, const std::optional<qint64>& value);

}  // namespace wire
}  // namespace quorvelle
