#include "Support/JsonCoding.h"


#include <cmath>

namespace quorvelle::json {

namespace {

// QDateTime keeps milliseconds in a qint64 but only dates within about +-292 million years
// are meaningful; stay far inside that so conversions never overflow.
constexpr double kMaximumAbsoluteSeconds = 1e14;

QJsonValue valueFor(const QJsonObject& object, QStringView key)
{
    return object.value(key);
}

bool isMissing(const QJsonValue& value)
{
    return value.isUndefined() || value.isNull();
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

}  // namespace

QDateTime referenceDate()
{
    return QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
}

double secondsSinceReferenceDate(const QDateTime& date)
{
    return double(referenceDate().msecsTo(date)) / 1000.0;
}

QDateTime dateFromSecondsSinceReferenceDate(double seconds)
{
    return referenceDate().addMSecs(qint64(std::llround(seconds * 1000.0)));
}

QJsonValue dateToJson(const QDateTime& date)
{
    return QJsonValue(secondsSinceReferenceDate(date));
}

std::optional<QDateTime> dateFromJson(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double seconds = value.toDouble();
    if (!std::isfinite(seconds) || std::fabs(seconds) > kMaximumAbsoluteSeconds)
        return std::nullopt;
    return dateFromSecondsSinceReferenceDate(seconds);
}

QString uuidToText(const QUuid& uuid)
{
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> uuidFromText(QStringView text)
{
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool hyphenPosition = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphenPosition ? text[i] != u'-' : !isHexDigit(text[i]))
            return std::nullopt;
    }
    return QUuid::fromString(text);
}

Field<QString> readString(const QJsonObject& object, QStringView key)
{
    const QJsonValue value = valueFor(object, key);
    if (isMissing(value))
        return Field<QString>::missing();
    if (!value.isString())
        return Field<QString>::wrongType();
    return Field<QString>::present(value.toString());
}

Field<bool> readBool(const QJsonObject& object, QStringView key)
{
    const QJsonValue value = valueFor(object, key);
    if (isMissing(value))
        return Field<bool>::missing();
    if (!value.isBool())
        return Field<bool>::wrongType();
    return Field<bool>::present(value.toBool());
}

Field<double> readDouble(const QJsonObject& object, QStringView key)
{
    const QJsonValue value = valueFor(object, key);
    if (isMissing(value))
        return Field<double>::missing();
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        return Field<double>::wrongType();
    return Field<double>::present(value.toDouble());
}

Field<qint64> readInteger(const QJsonObject& object, QStringView key)
{
    const QJsonValue value = valueFor(object, key);
    if (isMissing(value))
        return Field<qint64>::missing();
    if (!value.isDouble())
        return Field<qint64>::wrongType();
    // toInteger() gives the exact value of an integral number that fits in 64 bits; anything
    // else (a fraction, a number out of range) comes back as the sentinel passed in, so ask
    // twice with different sentinels to tell a real value from a refusal.
    const qint64 first = value.toInteger(0);
    if (first == 0 && value.toInteger(1) != 0)
        return Field<qint64>::wrongType();
    return Field<qint64>::present(first);
}

Field<QDateTime> readDate(const QJsonObject& object, QStringView key)
{
    const QJsonValue value = valueFor(object, key);
    if (isMissing(value))
        return Field<QDateTime>::missing();
    if (const auto date = dateFromJson(value))
        return Field<QDateTime>::present(*date);
    return Field<QDateTime>::wrongType();
}

Field<QUuid> readUuid(const QJsonObject& object, QStringView key)
{
    const Field<QString> text = readString(object, key);
    if (!text.isPresent())
        return text.isMissing() ? Field<QUuid>::missing() : Field<QUuid>::wrongType();
    if (const auto uuid = uuidFromText(*text.value()))
        return Field<QUuid>::present(*uuid);
    return Field<QUuid>::wrongType();
}

}  // namespace quorvelle::json
