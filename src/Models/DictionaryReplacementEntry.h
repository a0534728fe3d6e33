// DictionaryReplacementEntry: one personal dictionary replacement (a transcribed term and the
// text put in its place), with its JSON form as stored in the settings.
#pragma once

#include "Support/QmlValues.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

namespace quorvelle {

struct DictionaryReplacementEntry {
    Q_GADGET
    Q_PROPERTY(QString id READ idName)
    Q_PROPERTY(QString original MEMBER original)
    Q_PROPERTY(QString replacement MEMBER replacement)
    Q_PROPERTY(QString category MEMBER category)
    Q_PROPERTY(QDateTime updatedAt MEMBER updatedAt)

public:
    QUuid id;
    QString original;
    QString replacement;
    QString category;
    QDateTime updatedAt;

    // Keys are the field names; all fields are written.
    QString idName() const { return idText(id); }

    QJsonObject toJson() const;
    // "updatedAt" may be missing (then decodingTime stands in); every other key is required.
    static std::optional<DictionaryReplacementEntry> fromJson(const QJsonValue& json, const QDateTime& decodingTime);

    friend bool operator==(const DictionaryReplacementEntry&, const DictionaryReplacementEntry&) = default;
};

}  // namespace quorvelle
