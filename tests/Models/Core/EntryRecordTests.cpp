#include "Models/DictionaryReplacementEntry.h"
#include "Models/LocalModelInstallationRecord.h"
#include "Models/TranscriptHistoryEntry.h"
#include "Models/VocabularyHintEntry.h"
#include "Models/VoiceSnippet.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

const QUuid kId = QUuid::fromString(QStringLiteral("{0F8FAD5B-D9CB-469F-A165-70867728950E}"));
const QString kIdText = QStringLiteral("0F8FAD5B-D9CB-469F-A165-70867728950E");
// 100.25 s after the start of 2001, in UTC.
const QDateTime kStored(QDate(2001, 1, 1), QTime(0, 1, 40, 250), Qt::UTC);
const QDateTime kDecodingTime(QDate(2026, 5, 4), QTime(3, 2, 1), Qt::UTC);

QJsonObject parse(const QString& text) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text.toStdString();
    return document.object();
}

QStringList sortedKeys(const QJsonObject& object) {
    QStringList keys = object.keys();
    keys.sort();
    return keys;
}

// Removing any one of the keys makes decoding fail.
template <typename Decode>
void expectEachKeyRequired(const QJsonObject& object, const QStringList& keys, Decode decode) {
    for (const QString& key : keys) {
        QJsonObject broken = object;
        broken.remove(key);
        EXPECT_FALSE(decode(broken)) << "without " << key.toStdString();
    }
}

TEST(DictionaryReplacementEntry, EncodesEveryFieldAndReadsItBack) {
    const DictionaryReplacementEntry entry{kId, "kubernetes", "Kubernetes", "tech", kStored};
    const QJsonObject object = entry.toJson();
    EXPECT_EQ(sortedKeys(object), (QStringList{"category", "id", "original", "replacement", "updatedAt"}));
    EXPECT_EQ(object.value("id").toString(), kIdText);
    EXPECT_DOUBLE_EQ(object.value("updatedAt").toDouble(), 100.25);
    EXPECT_EQ(DictionaryReplacementEntry::fromJson(object, kDecodingTime), entry);
}

TEST(DictionaryReplacementEntry, OnlyUpdatedAtMayBeMissing) {
    const auto withoutDate = DictionaryReplacementEntry::fromJson(
        parse(R"({"id": ")" + kIdText + R"(", "original": "a", "replacement": "b", "category": "c"})"), kDecodingTime);
    ASSERT_TRUE(withoutDate);
    EXPECT_EQ(withoutDate->updatedAt, kDecodingTime);

    const QJsonObject full = DictionaryReplacementEntry{kId, "a", "b", "c", kStored}.toJson();
    expectEachKeyRequired(full, {"id", "original", "replacement", "category"},
                          [](const QJsonObject& o) { return DictionaryReplacementEntry::fromJson(o, kDecodingTime); });
    QJsonObject badDate = full;
    badDate.insert("updatedAt", "yesterday");
    EXPECT_FALSE(DictionaryReplacementEntry::fromJson(badDate, kDecodingTime));
    EXPECT_FALSE(DictionaryReplacementEntry::fromJson(QJsonValue("not an object"), kDecodingTime));
}

TEST(VocabularyHintEntry, MissingOptionalKeysTakeTheirDefaults) {
    const auto minimal =
        VocabularyHintEntry::fromJson(parse(R"({"id": ")" + kIdText + R"(", "term": "Qt"})"), kDecodingTime);
    ASSERT_TRUE(minimal);
    EXPECT_EQ(*minimal, (VocabularyHintEntry{kId, "Qt", "", true, kDecodingTime}));

    const VocabularyHintEntry full{kId, "Qt", "framework", false, kStored};
    const QJsonObject object = full.toJson();
    EXPECT_EQ(sortedKeys(object), (QStringList{"category", "id", "isEnabled", "term", "updatedAt"}));
    EXPECT_EQ(VocabularyHintEntry::fromJson(object, kDecodingTime), full);

    expectEachKeyRequired(object, {"id", "term"},
                          [](const QJsonObject& o) { return VocabularyHintEntry::fromJson(o, kDecodingTime); });
    QJsonObject wrongType = object;
    wrongType.insert("isEnabled", "no");
    EXPECT_FALSE(VocabularyHintEntry::fromJson(wrongType, kDecodingTime));
}

}  // namespace
}  // namespace quorvelle
