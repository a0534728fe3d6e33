#include "Services/Backend/BackendWireCoding.h"

#include "Support/JsonCoding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <algorithm>

namespace quorvelle::wire {

namespace {

[[noreturn]] void fail(const QString& key, const QString& problem) {
    throw WireDecodingError(QStringLiteral("\"%1\" %2").arg(key, problem));
}

// A required field: missing, null or of the wrong type throws.
template <typename T>
T required(const json::Field<T>& field, const QString& key, const QString& kind) {
    if (field.isMissing()) fail(key, QStringLiteral("is missing"));
    if (field.isWrongType()) fail(key, QStringLiteral("is not ") + kind);
    return *field.value();
}

// An optional field: missing or null is absent, a wrong type still throws.
template <typename T>
std::optional<T> optional(const json::Field<T>& field, const QString& key, const QString& kind) {
    if (field.isMissing()) return std::nullopt;
    return required(field, key, kind);
}

bool isAbsent(const QJsonValue& value) {
    return value.isUndefined() || value.isNull();
}

}  // namespace

std::optional<QJsonValue> parseDocument(const QByteArray& body) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) return std::nullopt;
    if (document.isObject()) return QJsonValue(document.object());
    if (document.isArray()) return QJsonValue(document.array());
    return std::nullopt;
}

QJsonObject asObject(const QJsonValue& value, const QString& what) {
    if (!value.isObject()) throw WireDecodingError(what + QStringLiteral(" is not a JSON object"));
    return value.toObject();
}

QString requiredString(const QJsonObject& object, const QString& key) {
    return required(json::readString(object, key), key, QStringLiteral("a string"));
}

std::optional<QString> optionalString(const QJsonObject& object, const QString& key) {
    return optional(json::readString(object, key), key, QStringLiteral("a string"));
}

QString requiredToken(const QJsonObject& object, const QString& key) {
    QString text = requiredString(object, key);
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        fail(key, QStringLiteral("holds a control character"));
    return text;
}

std::optional<QString> optionalToken(const QJsonObject& object, const QString& key) {
    if (!optionalString(object, key)) return std::nullopt;
    return requiredToken(object, key);
}

qint64 requiredInteger(const QJsonObject& object, const QString& key) {
    return required(json::readInteger(object, key), key, QStringLiteral("an integer"));
}

std::optional<qint64> optionalInteger(const QJsonObject& object, const QString& key) {
    return optional(json::readInteger(object, key), key, QStringLiteral("an integer"));
}

bool requiredBool(const QJsonObject& object, const QString& key) {
    return required(json::readBool(object, key), key, QStringLiteral("a boolean"));
}

QJsonObject requiredObject(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (isAbsent(value)) fail(key, QStringLiteral("is missing"));
    if (!value.isObject()) fail(key, QStringLiteral("is not an object"));
    return value.toObject();
}

std::optional<QJsonObject> optionalObject(const QJsonObject& object, const QString& key) {
    if (isAbsent(object.value(key))) return std::nullopt;
    return requiredObject(object, key);
}

QUrl requiredUrl(const QJsonObject& object, const QString& key) {
    const QString text = requiredString(object, key);
    const QUrl url(text, QUrl::StrictMode);
    const bool web = url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http");
    if (text.isEmpty() || !url.isValid() || !web || url.host().isEmpty()) {
        fail(key, QStringLiteral("is not a valid address"));
    }
    return url;
}

std::optional<QDateTime> optionalDate(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (isAbsent(value)) return std::nullopt;
    return decodeISO8601Date(value);
}

QDateTime decodeISO8601Date(const QJsonValue& value) {
    const QString text = value.isString() ? value.toString() : QString();
    static const QRegularExpression pattern(QStringLiteral(
        "^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})(?:\\.(\\d+))?(?:(Z)|([+-])(\\d{2}):?(\\d{2}))$"));
    const QRegularExpressionMatch match = pattern.match(text);
    auto number = [&match](int group) { return match.captured(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    if (!match.hasMatch() || !date.isValid() || !time.isValid() || number(10) > 23 || number(11) > 59) {
        throw WireDecodingError(QStringLiteral("Invalid ISO8601 date: ") + text);
    }
    // Millisecond precision: further fraction digits are dropped.
    const int milliseconds = match.captured(7).leftJustified(3, QLatin1Char('0')).left(3).toInt();
    int offsetSeconds = 0;
    if (match.captured(8).isEmpty()) {
        offsetSeconds = (number(10) * 3600 + number(11) * 60) * (match.captured(9) == QLatin1String("-") ? -1 : 1);
    }
    // Qt's fixed-offset zones stop at 14 hours and an out-of-range one is silently ignored, so the
    // offset is taken off by hand: the notation allows up to 23:59.
    return QDateTime(date, time.addMSecs(milliseconds), Qt::UTC).addSecs(-offsetSeconds);
}

void putOptional(QJsonObject& object, const QString& key, const std::optional<QString>& value) {
    if (value) object.insert(key, *value);
}

void putOptional(QJsonObject& object, const QString& key, const std::optional<qint64>& value) {
    if (value) object.insert(key, *value);
}

}  // namespace quorvelle::wire
