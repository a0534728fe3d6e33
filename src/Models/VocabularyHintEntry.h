// VocabularyHintEntry: a term the transcription should spell exactly, with its JSON form as
// stored in the settings.
#pragma once

#include "Support/QmlValues.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

namespace quorvelle {

struct VocabularyHintEntry {
    Q_GADGET
    Q_PROPERTY(QString id READ idName)
    Q_PROPERTY(QString term MEMBER term)
    Q_PROPERTY(QString category MEMBER category)
    Q_PROPERTY(bool isEnabled MEMBER isEnabled)
    Q_PROPERTY(QDateTime updatedAt MEMBER updatedAt)

public:
    QUuid id;
    QString term;
    QString category;
    bool isEnabled = true;
    QDateTime updatedAt;

    // Keys are the field names; all fields are written.
    QString idName() const { return idText(id); }

    QJsonObject toJson() const;
    // "id" and "term" are required; a missing "category" reads as "", a missing "isEnabled"
    // as true and a missing "updatedAt" as decodingTime.
    static std::optional<VocabularyHintEntry> fromJson(const QJsonValue& json, const QDateTime& decodingTime);

    friend bool operator==(const VocabularyHintEntry&, const VocabularyHintEntry&) = default;
};

}  // namespace quorvelle
