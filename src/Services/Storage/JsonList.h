#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QList>

#include <optional>

namespace quorvelle {

// A stored JSON array of records, each decoded on its own: one that does not decode is left out
// and its index noted. A value that is no JSON array has no entries and counts as damaged.
template <typename Entry>
struct JsonListReading {
    QList<Entry> entries;
    QList<qsizetype> skippedIndexes;
    // Those left out, as they were stored.
    QJsonArray skippedEntries;
    bool isArray = false;

    // Whether writing the entries in place of the stored value would lose something.
    bool dropsStoredData() const { return !isArray || !skippedIndexes.isEmpty(); }
};

template <typename Entry, typename Decode>
JsonListReading<Entry> readJsonList(const QByteArray& bytes, Decode decode) {
    JsonListReading<Entry> reading;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) return reading;
    reading.isArray = true;
    const QJsonArray array = document.array();
    reading.entries.reserve(array.size());
    for (qsizetype index = 0; index < array.size(); ++index) {
        std::optional<Entry> entry = decode(array.at(index));
        if (entry)
            reading.entries.append(std::move(*entry));
        else {
            reading.skippedIndexes.append(index);
            reading.skippedEntries.append(array.at(index));
        }
    }
    return reading;
}

// A stored JSON array of records: all of them decode, or the list as a whole does not.
template <typename Entry, typename Decode>
std::optional<QList<Entry>> decodeJsonList(const QByteArray& bytes, Decode decode) {
    JsonListReading<Entry> reading = readJsonList<Entry>(bytes, decode);
    if (reading.dropsStoredData()) return std::nullopt;
    return std::move(reading.entries);
}

// Compact, as the user defaults keep it.
template <typename Entry>
QByteArray encodeJsonList(const QList<Entry>& entries) {
    QJsonArray array;
    for (const Entry& entry : entries)
        array.append(entry.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

}  // namespace quorvelle
