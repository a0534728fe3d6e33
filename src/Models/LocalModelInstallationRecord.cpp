#include "Models/LocalModelInstallationRecord.h"

#include "Support/JsonCoding.h"

namespace quorvelle {

QJsonObject LocalModelInstallationRecord::toJson() const {
    QJsonObject object{
        {QStringLiteral("modelID"), rawValue(modelID)},
        {QStringLiteral("checksumSHA256"), checksumSHA256},
        {QStringLiteral("installedAt"), json::dateToJson(installedAt)},
        {QStringLiteral("fileSizeBytes"), fileSizeBytes},
    };
    if (verifiedSHA1) object.insert(QStringLiteral("verifiedSHA1"), *verifiedSHA1);
    return object;
}

std::optional<LocalModelInstallationRecord> LocalModelInstallationRecord::fromJson(const QJsonValue& value) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto modelID = json::readEnum<LocalTranscriptionModelID>(object, u"modelID").value();
    const auto checksum = json::readString(object, u"checksumSHA256").value();
    const auto installedAt = json::readDate(object, u"installedAt").value();
    const auto fileSizeBytes = json::readInteger(object, u"fileSizeBytes").value();
    const auto verifiedSHA1 = json::readString(object, u"verifiedSHA1");
    if (!modelID || !checksum || !installedAt || !fileSizeBytes || verifiedSHA1.isWrongType()) return std::nullopt;
    return LocalModelInstallationRecord{*modelID, *checksum, *installedAt, *fileSizeBytes, verifiedSHA1.value()};
}

}  // namespace quorvelle
