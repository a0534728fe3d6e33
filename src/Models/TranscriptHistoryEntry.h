// TranscriptHistoryEntry: one completed dictation as kept in the history file.
#pragma once

#include "Models/TranscriptHistoryCompletionKind.h"
#include "Support/QmlValues.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

namespace quorvelle {

struct TranscriptHistoryEntry {
    Q_GADGET
    Q_PROPERTY(QString id READ idName)
    Q_PROPERTY(QDateTime completedAt MEMBER completedAt)
    Q_PROPERTY(QString transcript MEMBER transcript)
    Q_PROPERTY(double durationSeconds MEMBER durationSeconds)
    Q_PROPERTY(qint64 wordCount MEMBER wordCount)
    Q_PROPERTY(QString completionKind READ completionKindName)

public:
    QUuid id;
    QDateTime completedAt;
    QString transcript;
    double durationSeconds = 0;
    qint64 wordCount = 0;
    TranscriptHistoryCompletionKind completionKind = TranscriptHistoryCompletionKind::inserted;

    // Keys are the field names; every key is written and every key is required when reading.
    QString idName() const { return idText(id); }
    QString completionKindName() const { return rawValue(completionKind); }

    QJsonObject toJson() const;
    static std::optional<TranscriptHistoryEntry> fromJson(const QJsonValue& json);

    friend bool operator==(const TranscriptHistoryEntry&, const TranscriptHistoryEntry&) = default;
};

}  // namespace quorvelle
