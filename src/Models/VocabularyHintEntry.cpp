#include "Models/VocabularyHintEntry.h"

#include "Support/JsonCoding.h"

namespace quorvelle {

QJsonObject VocabularyHintEntry::toJson() const {
    return QJsonObject{
        {QStringLiteral("id"), json::uuidToText(id)},
        {QStringLiteral("term"), term},
        {QStringLiteral("category"), category},
        {QStringLiteral("isEnabled"), isEnabled},
        {QStringLiteral("updatedAt"), json::dateToJson(updatedAt)},
    };
}

std::optional<VocabularyHintEntry> VocabularyHintEntry::fromJson(const QJsonValue& value,
                                                                 const QDateTime& decodingTime) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto id = json::readUuid(object, u"id").value();
    const auto term = json::readString(object, u"term").value();
    const auto category = json::readString(object, u"category").valueOr(QString());
    const auto isEnabled = json::readBool(object, u"isEnabled").valueOr(true);
    const auto updatedAt = json::readDate(object, u"updatedAt").valueOr(decodingTime);
    if (!id || !term || !category || !isEnabled || !updatedAt) return std::nullopt;
    return VocabularyHintEntry{*id, *term, *category, *isEnabled, *updatedAt};
}

}  // namespace quorvelle
