// VoiceSnippet: a spoken phrase that expands to a saved text, with its JSON form as stored in
// the settings.
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

namespace quorvelle {

struct VoiceSnippet {
    QUuid id;
    QString phrase;
    QString expansion;
    bool requiresConfirmation = false;

    // Keys are the field names; all are written and all are required when reading.
    QJsonObject toJson() const;
    static std::optional<VoiceSnippet> fromJson(const QJsonValue& json);

    friend bool operator==(const VoiceSnippet&, const VoiceSnippet&) = default;
};

}  // namespace quorvelle
