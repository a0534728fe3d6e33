#include "Models/DictionaryReplacementEntry.h"

#include "Support/JsonCoding.h"

namespace quorvelle {

QJsonObject DictionaryReplacementEntry::toJson() const {
    return QJsonObject{
        {QStringLiteral("id"), json::uuidToText(id)},
        {QStringLiteral("original"), original},
        {QStringLiteral("replacement"), replacement},
        {QStringLiteral("category"), category},
        {QStringLiteral("updatedAt"), json::dateToJson(updatedAt)},
    };
}

std::optional<DictionaryReplacementEntry> DictionaryReplacementEntry::fromJson(const QJsonValue& value,
                                                                               const QDateTime& decodingTime) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto id = json::readUuid(object, u"id").value();
    const auto original = json::readString(object, u"original").value();
    const auto replacement = json::readString(object, u"replacement").value();
    const auto category = json::readString(object, u"category").value();
    const auto updatedAt = json::readDate(object, u"updatedAt").valueOr(decodingTime);
    if (!id || !original || !replacement || !category || !updatedAt) return std::nullopt;
    return DictionaryReplacementEntry{*id, *original, *replacement, *category, *updatedAt};
}

}  // namespace quorvelle
