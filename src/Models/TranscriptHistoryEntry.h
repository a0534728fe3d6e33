// TranscriptHistoryEntry: one completed dictation as kept in the history file.
#pragma once

#include "Models/TranscriptHistoryCompletionKind.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

namespace quorvelle {

struct TranscriptHistoryEntry {
    QUuid id;
    QDateTime completedAt;
    QString transcript;
    double durationSeconds = 0;
    qint64 wordCount = 0;
    TranscriptHistoryCompletionKind completionKind = TranscriptHistoryCompletionKind::inserted;

    // Keys are the field names; every key is written and every key is required when reading.
    QJsonObject toJson() const;
    static std::optional<TranscriptHistoryEntry> fromJson(const QJsonValue& json);

    friend bool operator==(const TranscriptHistoryEntry&, const TranscriptHistoryEntry&) = default;
};

}  // namespace quorvelle
