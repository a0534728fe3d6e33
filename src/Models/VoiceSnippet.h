// VoiceSnippet: a spoken phrase that expands to a saved text, with its JSON form as stored in
// the settings.
#pragma once

#include "Support/QmlValues.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

namespace quorvelle {

struct VoiceSnippet {
    Q_GADGET
    Q_PROPERTY(QString id READ idName)
    Q_PROPERTY(QString phrase MEMBER phrase)
    Q_PROPERTY(QString expansion MEMBER expansion)
    Q_PROPERTY(bool requiresConfirmation MEMBER requiresConfirmation)

public:
    QUuid id;
    QString phrase;
    QString expansion;
    bool requiresConfirmation = false;

    // Keys are the field names; all are written and all are required when reading.
    QString idName() const { return idText(id); }

    QJsonObject toJson() const;
    static std::optional<VoiceSnippet> fromJson(const QJsonValue& json);

    friend bool operator==(const VoiceSnippet&, const VoiceSnippet&) = default;
};

}  // namespace quorvelle
