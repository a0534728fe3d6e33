// LocalModelInstallationRecord: one verified local model file, as kept in the model registry.
#pragma once

#include "Models/LocalTranscriptionModelID.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

namespace quorvelle {

struct LocalModelInstallationRecord {
    LocalTranscriptionModelID modelID = LocalTranscriptionModelID::tinyMultilingual;
    QString checksumSHA256;
    QDateTime installedAt;
    qint64 fileSizeBytes = 0;
    std::optional<QString> verifiedSHA1;

    // Keys are the field names; "verifiedSHA1" is left out when there is none.
    QJsonObject toJson() const;
    // Every key but "verifiedSHA1" is required.
    static std::optional<LocalModelInstallationRecord> fromJson(const QJsonValue& json);

    friend bool operator==(const LocalModelInstallationRecord&, const LocalModelInstallationRecord&) = default;
};

}  // namespace quorvelle
