#include "Models/TranscriptHistoryEntry.h"

#include "Support/JsonCoding.h"

namespace quorvelle {

QJsonObject TranscriptHistoryEntry::toJson() const {
    return QJsonObject{
        {QStringLiteral("id"), json::uuidToText(id)}, {QStringLiteral("completedAt"), json::dateToJson(completedAt)},
        {QStringLiteral("transcript"), transcript},   {QStringLiteral("durationSeconds"), durationSeconds},
        {QStringLiteral("wordCount"), wordCount},     {QStringLiteral("completionKind"), rawValue(completionKind)},
    };
}

std::optional<TranscriptHistoryEntry> TranscriptHistoryEntry::fromJson(const QJsonValue& value) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto id = json::readUuid(object, u"id").value();
    const auto completedAt = json::readDate(object, u"completedAt").value();
    const auto transcript = json::readString(object, u"transcript").value();
    const auto durationSeconds = json::readDouble(object, u"durationSeconds").value();
    const auto wordCount = json::readInteger(object, u"wordCount").value();
    const auto completionKind = json::readEnum<TranscriptHistoryCompletionKind>(object, u"completionKind").value();
    if (!id || !completedAt || !transcript || !durationSeconds || !wordCount || !completionKind) return std::nullopt;
    return TranscriptHistoryEntry{*id, *completedAt, *transcript, *durationSeconds, *wordCount, *completionKind};
}

}  // namespace quorvelle
