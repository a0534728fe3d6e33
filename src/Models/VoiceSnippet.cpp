#include "Models/VoiceSnippet.h"

#include "Support/JsonCoding.h"

namespace quorvelle {

QJsonObject VoiceSnippet::toJson() const {
    return QJsonObject{
        {QStringLiteral("id"), json::uuidToText(id)},
        {QStringLiteral("phrase"), phrase},
        {QStringLiteral("expansion"), expansion},
        {QStringLiteral("requiresConfirmation"), requiresConfirmation},
    };
}

std::optional<VoiceSnippet> VoiceSnippet::fromJson(const QJsonValue& value) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto id = json::readUuid(object, u"id").value();
    const auto phrase = json::readString(object, u"phrase").value();
    const auto expansion = json::readString(object, u"expansion").value();
    const auto requiresConfirmation = json::readBool(object, u"requiresConfirmation").value();
    if (!id || !phrase || !expansion || !requiresConfirmation) return std::nullopt;
    return VoiceSnippet{*id, *phrase, *expansion, *requiresConfirmation};
}

}  // namespace quorvelle
