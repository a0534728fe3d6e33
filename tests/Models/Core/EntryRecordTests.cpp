#include "Models/DictionaryReplacementEntry.h"
#include "Models/VocabularyHintEntry.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

const QUuid kId = QUuid::fromString(QStringLiteral("{0F8FAD5B-D9CB-469F-A165-70867728950E}"));
// 100.25 s after the start of 2001, in UTC.
const QDateTime kStored(QDate(2001, 1, 1), QTime(0, 1, 40, 250), Qt::UTC);
const QDateTime kDecodingTime(QDate(2026, 5, 4), QTime(3, 2, 1), Qt::UTC);

// The stored keys are exactly `keys`; the entry reads back; without any of `required` it does not
// read, and without everything else it reads back as `minimal`.
template <typename Entry>
void expectStoredForm(const Entry& entry, const QStringList& keys, const QStringList& required, const Entry& minimal) {
    const QJsonObject object = entry.toJson();
    EXPECT_EQ(object.keys(), keys);  // keys() comes sorted
    EXPECT_EQ(object.value("id").toString(), QStringLiteral("0F8FAD5B-D9CB-469F-A165-70867728950E"));
    EXPECT_DOUBLE_EQ(object.value("updatedAt").toDouble(), 100.25);
    EXPECT_EQ(Entry::fromJson(object, kDecodingTime), entry);
    QJsonObject least;
    for (const QString& key : required) {
        least.insert(key, object.value(key));
        QJsonObject broken = object;
        broken.remove(key);
        EXPECT_FALSE(Entry::fromJson(broken, kDecodingTime)) << "without " << key.toStdString();
    }
    EXPECT_EQ(Entry::fromJson(least, kDecodingTime), minimal);
    EXPECT_FALSE(Entry::fromJson(QJsonValue("not an object"), kDecodingTime));
}

TEST(DictionaryReplacementEntry, StoredFormReadsBackAndOnlyUpdatedAtMayBeMissing) {
    expectStoredForm(DictionaryReplacementEntry{kId, "kubernetes", "Kubernetes", "tech", kStored},
                     {"category", "id", "original", "replacement", "updatedAt"},
                     {"id", "original", "replacement", "category"},
                     DictionaryReplacementEntry{kId, "kubernetes", "Kubernetes", "tech", kDecodingTime});
    QJsonObject badDate = DictionaryReplacementEntry{kId, "a", "b", "c", kStored}.toJson();
    badDate.insert("updatedAt", "yesterday");
    EXPECT_FALSE(DictionaryReplacementEntry::fromJson(badDate, kDecodingTime));
}

TEST(VocabularyHintEntry, StoredFormReadsBackAndMissingOptionalKeysTakeTheirDefaults) {
    expectStoredForm(VocabularyHintEntry{kId, "Qt", "framework", false, kStored},
                     {"category", "id", "isEnabled", "term", "updatedAt"}, {"id", "term"},
                     VocabularyHintEntry{kId, "Qt", "", true, kDecodingTime});
    QJsonObject wrongType = VocabularyHintEntry{kId, "Qt", "", true, kStored}.toJson();
    wrongType.insert("isEnabled", "no");
    EXPECT_FALSE(VocabularyHintEntry::fromJson(wrongType, kDecodingTime));
}

}  // namespace
}  // namespace quorvelle
