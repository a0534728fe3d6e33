#include "Support/JsonCoding.h"

#include <cmath>

namespace quorvelle::json {

namespace {

// QDateTime keeps milliseconds in a qint64 but only dates within about +-292 million years
// are meaningful; stay far inside that so conversions never overflow.
constexpr double kMaximumAbsoluteSeconds = 1e14;

// An absent key and a JSON null are both missing; otherwise convert gives the value, or none
// when the value has the wrong type.
template <typename T, typename Convert>
Field<T> readWith(const QJsonObject& object, QStringView key, Convert convert) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull()) return Field<T>::missing();
    if (std::optional<T> converted = convert(value)) return Field<T>::present(std::move(*converted));
    return Field<T>::wrongType();
}

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

}  // namespace

QDateTime referenceDate() {
    return QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
}

double secondsSinceReferenceDate(const QDateTime& date) {
    return double(referenceDate().msecsTo(date)) / 1000.0;
}

QDateTime dateFromSecondsSinceReferenceDate(double seconds) {
    return referenceDate().addMSecs(qint64(std::llround(seconds * 1000.0)));
}

QJsonValue dateToJson(const QDateTime& date) {
    return QJsonValue(secondsSinceReferenceDate(date));
}

std::optional<QDateTime> dateFromJson(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double seconds = value.toDouble();
    if (!std::isfinite(seconds) || std::fabs(seconds) > kMaximumAbsoluteSeconds) return std::nullopt;
    return dateFromSecondsSinceReferenceDate(seconds);
}

QString uuidToText(const QUuid& uuid) {
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> uuidFromText(QStringView text) {
    if (text.size() != 36) return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool hyphenPosition = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphenPosition ? text[i] != u'-' : !isHexDigit(text[i])) return std::nullopt;
    }
    return QUuid::fromString(text);
}

Field<QString> readString(const QJsonObject& object, QStringView key) {
    return readWith<QString>(object, key, [](const QJsonValue& value) -> std::optional<QString> {
        if (value.isString()) return value.toString();
        return std::nullopt;
    });
}

Field<bool> readBool(const QJsonObject& object, QStringView key) {
    return readWith<bool>(object, key, [](const QJsonValue& value) -> std::optional<bool> {
        if (value.isBool()) return value.toBool();
        return std::nullopt;
    });
}

Field<double> readDouble(const QJsonObject& object, QStringView key) {
    return readWith<double>(object, key, [](const QJsonValue& value) -> std::optional<double> {
        if (value.isDouble() && std::isfinite(value.toDouble())) return value.toDouble();
        return std::nullopt;
    });
}

Field<qint64> readInteger(const QJsonObject& object, QStringView key) {
    return readWith<qint64>(object, key, [](const QJsonValue& value) -> std::optional<qint64> {
        if (!value.isDouble()) return std::nullopt;
        // toInteger() gives the exact value of an integral number that fits in 64 bits; for
        // anything else (a fraction, a number out of range) it returns the default passed in,
        // so ask twice with different defaults to tell a real 0 from a refusal.
        const qint64 first = value.toInteger(0);
        if (first == 0 && value.toInteger(1) != 0) return std::nullopt;
        return first;
    });
}

Field<QDateTime> readDate(const QJsonObject& object, QStringView key) {
    return readWith<QDateTime>(object, key, dateFromJson);
}

Field<QUuid> readUuid(const QJsonObject& object, QStringView key) {
    return readWith<QUuid>(object, key, [](const QJsonValue& value) -> std::optional<QUuid> {
        if (!value.isString()) return std::nullopt;
        return uuidFromText(value.toString());
    });
}

}  // namespace quorvelle::json
