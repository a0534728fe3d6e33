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

TEST(VoiceSnippet, RoundTripsAndRequiresEveryKey) {
    const VoiceSnippet snippet{kId, "my address", "1 Main Street", true};
    const QJsonObject object = snippet.toJson();
    EXPECT_EQ(sortedKeys(object), (QStringList{"expansion", "id", "phrase", "requiresConfirmation"}));
    EXPECT_EQ(object.value("requiresConfirmation"), QJsonValue(true));
    EXPECT_EQ(VoiceSnippet::fromJson(object), snippet);

    expectEachKeyRequired(object, object.keys(), VoiceSnippet::fromJson);
    QJsonObject wrongType = object;
    wrongType.insert("requiresConfirmation", 1);
    EXPECT_FALSE(VoiceSnippet::fromJson(wrongType));
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

TEST(TranscriptHistoryEntry, RoundTripsAndRejectsMissingKeysAndUnknownKinds) {
    const TranscriptHistoryEntry entry{kId,  kStored, "hello world",
                                       2.75, 2,       TranscriptHistoryCompletionKind::pasteSentUnverified};
    const QJsonObject object = entry.toJson();
    EXPECT_EQ(sortedKeys(object),
              (QStringList{"completedAt", "completionKind", "durationSeconds", "id", "transcript", "wordCount"}));
    EXPECT_EQ(object.value("completionKind").toString(), QStringLiteral("pasteSentUnverified"));
    EXPECT_EQ(TranscriptHistoryEntry::fromJson(object), entry);

    expectEachKeyRequired(object, object.keys(), TranscriptHistoryEntry::fromJson);
    for (const char* kind : {"pasted", "Inserted", ""}) {
        QJsonObject broken = object;
        broken.insert("completionKind", QString::fromLatin1(kind));
        EXPECT_FALSE(TranscriptHistoryEntry::fromJson(broken)) << kind;
    }
    QJsonObject fractionalCount = object;
    fractionalCount.insert("wordCount", 2.5);
    EXPECT_FALSE(TranscriptHistoryEntry::fromJson(fractionalCount));

    // Extra keys are ignored.
    QJsonObject extra = object;
    extra.insert("source", "mic");
    EXPECT_EQ(TranscriptHistoryEntry::fromJson(extra), entry);
}

TEST(LocalModelInstallationRecord, VerifiedSha1IsOptionalBothWays) {
    const LocalModelInstallationRecord withoutSha1{LocalTranscriptionModelID::largeV3, "abc", kStored, 3113541018,
                                                   std::nullopt};
    const QJsonObject object = withoutSha1.toJson();
    EXPECT_EQ(sortedKeys(object), (QStringList{"checksumSHA256", "fileSizeBytes", "installedAt", "modelID"}));
    EXPECT_EQ(object.value("modelID").toString(), QStringLiteral("largeV3"));
    EXPECT_EQ(object.value("fileSizeBytes").toInteger(), 3113541018);
    EXPECT_EQ(LocalModelInstallationRecord::fromJson(object), withoutSha1);

    LocalModelInstallationRecord withSha1 = withoutSha1;
    withSha1.verifiedSHA1 = QStringLiteral("ad82bf6a9043ceed055076d0fd39f5f186ff8062");
    EXPECT_EQ(withSha1.toJson().value("verifiedSHA1").toString(), *withSha1.verifiedSHA1);
    EXPECT_EQ(LocalModelInstallationRecord::fromJson(withSha1.toJson()), withSha1);
    EXPECT_NE(withSha1, withoutSha1);

    QJsonObject nullSha1 = object;
    nullSha1.insert("verifiedSHA1", QJsonValue::Null);
    EXPECT_EQ(LocalModelInstallationRecord::fromJson(nullSha1), withoutSha1);
    QJsonObject wrongSha1 = object;
    wrongSha1.insert("verifiedSHA1", 5);
    EXPECT_FALSE(LocalModelInstallationRecord::fromJson(wrongSha1));
    QJsonObject unknownModel = object;
    unknownModel.insert("modelID", "large-v3");
    EXPECT_FALSE(LocalModelInstallationRecord::fromJson(unknownModel));
    expectEachKeyRequired(object, object.keys(), LocalModelInstallationRecord::fromJson);
}

TEST(EntryRecords, EqualityNoticesEveryField) {
    const DictionaryReplacementEntry base{kId, "a", "b", "c", kStored};
    const DictionaryReplacementEntry variants[] = {
        {QUuid::createUuid(), "a", "b", "c", kStored},
        {kId, "x", "b", "c", kStored},
        {kId, "a", "x", "c", kStored},
        {kId, "a", "b", "x", kStored},
        {kId, "a", "b", "c", kDecodingTime},
    };
    for (const auto& variant : variants)
        EXPECT_NE(variant, base);
    EXPECT_EQ(base, (DictionaryReplacementEntry{kId, "a", "b", "c", kStored.toOffsetFromUtc(7200)}));
}

}  // namespace
}  // namespace quorvelle
