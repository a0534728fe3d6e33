#include "Models/AudioInputDevicePreference.h"

#include <QJsonValue>

namespace quorvelle {

QJsonObject AudioInputDevicePreference::toJson() const {
    return QJsonObject{{QStringLiteral("uid"), uid}, {QStringLiteral("name"), name}};
}

std::optional<AudioInputDevicePreference> AudioInputDevicePreference::fromJson(const QJsonObject& object) {
    const QJsonValue uid = object.value(QStringLiteral("uid"));
    const QJsonValue name = object.value(QStringLiteral("name"));
    if (!uid.isString() || !name.isString()) {
        return std::nullopt;
    }
    return AudioInputDevicePreference{uid.toString(), name.toString()};
}

}  // namespace quorvelle
