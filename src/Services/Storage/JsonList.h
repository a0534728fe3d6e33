#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QList>

#include <optional>

namespace quorvelle {

// A stored JSON array of records: all of them decode, or the list as a whole does not.
template <typename Entry, typename Decode>
std::optional<QList<Entry>> decodeJsonList(const QByteArray& bytes, Decode decode) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) return std::nullopt;
    const QJsonArray array = document.array();
    QList<Entry> entries;
    entries.reserve(array.size());
    for (const QJsonValue& element : array) {
        std::optional<Entry> entry = decode(element);
        if (!entry) return std::nullopt;
        entries.append(std::move(*entry));
    }
    return entries;
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
