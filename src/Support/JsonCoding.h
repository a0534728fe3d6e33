// Small JSON coding helpers shared by the stores and the backend client: stored dates as
// seconds since 2001-01-01 00:00:00 UTC, UUIDs as upper-case standard text, and typed field
// reads that tell a missing key apart from a value of the wrong type.
#pragma once

#include "Models/RawValueEnum.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringView>
#include <QUuid>

#include <optional>
#include <utility>

namespace quorvelle::json {

// 2001-01-01 00:00:00 UTC.
QDateTime referenceDate();

// Seconds since the reference date, with the millisecond precision that QDateTime keeps.
double secondsSinceReferenceDate(const QDateTime& date);
QDateTime dateFromSecondsSinceReferenceDate(double seconds);

QJsonValue dateToJson(const QDateTime& date);
// A JSON number (integer or fraction); none for anything else or a number beyond the dates
// QDateTime can hold.
std::optional<QDateTime> dateFromJson(const QJsonValue& value);

// "E621E1F8-C36C-495A-93FC-0C247A3E6E5F"
QString uuidToText(const QUuid& uuid);
// The 36-character form with hyphens, hex digits in either case; no braces, no other forms.
std::optional<QUuid> uuidFromText(QStringView text);

// The result of reading one field of a JSON object.
enum class FieldStatus { present, missing, wrongType };

template <typename T>
class Field {
public:
    static Field present(T value) { return Field(FieldStatus::present, std::move(value)); }
    static Field missing() { return Field(FieldStatus::missing, std::nullopt); }
    static Field wrongType() { return Field(FieldStatus::wrongType, std::nullopt); }

    FieldStatus status() const { return m_status; }
    bool isPresent() const { return m_status == FieldStatus::present; }
    bool isMissing() const { return m_status == FieldStatus::missing; }
    bool isWrongType() const { return m_status == FieldStatus::wrongType; }

    // The value when present.
    const std::optional<T>& value() const { return m_value; }
    // The value, or the fallback when the key is missing; none when the value has the wrong
    // type (a present but unreadable value is an error, not an absence).
    std::optional<T> valueOr(T fallback) const {
        if (m_status == FieldStatus::missing) return fallback;
        return m_value;
    }

private:
    Field(FieldStatus status, std::optional<T> value) : m_status(status), m_value(std::move(value)) {}

    FieldStatus m_status;
    std::optional<T> m_value;
};

// Each reader treats an absent key and a JSON null alike as missing.
Field<QString> readString(const QJsonObject& object, QStringView key);
Field<bool> readBool(const QJsonObject& object, QStringView key);
Field<double> readDouble(const QJsonObject& object, QStringView key);
// A JSON number without a fraction that fits in 64 bits.
Field<qint64> readInteger(const QJsonObject& object, QStringView key);
Field<QDateTime> readDate(const QJsonObject& object, QStringView key);
Field<QUuid> readUuid(const QJsonObject& object, QStringView key);

// A string holding one of the enumeration's raw values; any other string is the wrong type.
template <typename E>
Field<E> readEnum(const QJsonObject& object, QStringView key) {
    const Field<QString> text = readString(object, key);
    if (!text.isPresent()) return text.isMissing() ? Field<E>::missing() : Field<E>::wrongType();
    if (const std::optional<E> value = fromRawValue<E>(*text.value())) return Field<E>::present(*value);
    return Field<E>::wrongType();
}

}  // namespace quorvelle::json
