#include "Models/DiagnosticsEventLevel.h"
#include "Support/JsonCoding.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

TEST(JsonCodingDates, SecondsCountFromTheStartOf2001InUtcAndOnlyFiniteNumbersInRangeRead) {
    const std::pair<QDateTime, double> rows[] = {
        {QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC), 0},
        {QDateTime(QDate(2001, 1, 1), QTime(0, 1, 1, 500), Qt::UTC), 61.5},
        {QDateTime(QDate(2000, 12, 31), QTime(23, 59), Qt::UTC), -60},
        {QDateTime(QDate(2024, 3, 1), QTime(12, 0), Qt::OffsetFromUTC, 3600), 730983600},
    };
    for (const auto& [date, seconds] : rows) {
        EXPECT_DOUBLE_EQ(json::secondsSinceReferenceDate(date), seconds);
        EXPECT_DOUBLE_EQ(json::dateToJson(date).toDouble(), seconds);
        EXPECT_EQ(json::dateFromJson(QJsonValue(seconds)), date);
    }
    EXPECT_FALSE(json::dateFromJson(QJsonValue(QStringLiteral("2024-01-01T00:00:00Z"))));
    EXPECT_FALSE(json::dateFromJson(QJsonValue()));
    EXPECT_FALSE(json::dateFromJson(QJsonValue(1e300)));
    EXPECT_EQ(json::dateFromJson(QJsonValue(qint64(86400))), QDateTime(QDate(2001, 1, 2), QTime(0, 0), Qt::UTC));
}

TEST(JsonCodingFields, MissingAndNullAreToldApartFromWrongTypeOnlyMissingTakesTheFallbackAndIdsReadStrictly) {
    const QJsonObject object =
        QJsonDocument::fromJson(
            R"({"s": "text", "n": 2.5, "i": 42, "f": 4.0, "z": null, "big": 1e20, "frac": 1.5, "e": "warning",
                  "bad": "loud"})")
            .object();

    // Strings, booleans, dates and ids read back in the stored-entry tests.
    EXPECT_EQ(json::readDouble(object, u"n").value(), 2.5);
    EXPECT_EQ(json::readInteger(object, u"i").value(), 42);
    EXPECT_EQ(json::readInteger(object, u"f").value(), 4);
    EXPECT_EQ(json::readEnum<DiagnosticsEventLevel>(object, u"e").value(), DiagnosticsEventLevel::warning);

    const std::tuple<json::FieldStatus, json::FieldStatus, const char*> rows[] = {
        {json::readString(object, u"absent").status(), json::FieldStatus::missing, "absent string"},
        {json::readString(object, u"z").status(), json::FieldStatus::missing, "null string"},
        {json::readString(object, u"i").status(), json::FieldStatus::wrongType, "number as string"},
        {json::readInteger(object, u"frac").status(), json::FieldStatus::wrongType, "fraction as integer"},
        {json::readInteger(object, u"big").status(), json::FieldStatus::wrongType, "huge integer"},
        {json::readInteger(object, u"z").status(), json::FieldStatus::missing, "null integer"},
        {json::readUuid(object, u"s").status(), json::FieldStatus::wrongType, "text as uuid"},
        {json::readEnum<DiagnosticsEventLevel>(object, u"bad").status(), json::FieldStatus::wrongType,
         "unknown raw value"},
        {json::readEnum<DiagnosticsEventLevel>(object, u"absent").status(), json::FieldStatus::missing, "absent enum"},
    };
    for (const auto& [status, expected, what] : rows)
        EXPECT_EQ(status, expected) << what;
    EXPECT_EQ(json::readBool(object, u"absent").valueOr(true), true);
    EXPECT_FALSE(json::readBool(object, u"s").valueOr(true).has_value());
    // Ids read in either case (the stored-entry tests check the upper-case text); only the standard form reads.
    const QUuid uuid = QUuid::fromString(QStringLiteral("{e621e1f8-c36c-495a-93fc-0c247a3e6e5f}"));
    EXPECT_EQ(json::uuidFromText(u"e621e1f8-c36c-495a-93fc-0c247a3e6e5f"), uuid);
    EXPECT_EQ(json::uuidFromText(u"00000000-0000-0000-0000-000000000000"), QUuid());

    const char16_t* rejected[] = {u"{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}", u"E621E1F8C36C495A93FC0C247A3E6E5F",
                                  u"E621E1F8-C36C-495A-93FC-0C247A3E6E5G", u"E621E1F8-C36C-495A93FC--0C247A3E6E5F"};
    for (const char16_t* text : rejected)
        EXPECT_FALSE(json::uuidFromText(QStringView(text)).has_value()) << QString::fromUtf16(text).toStdString();
}

}  // namespace
}  // namespace quorvelle
