#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace quorvelle {

// The microphone the user chose; the name labels it while the device is not connected.
struct AudioInputDevicePreference {
    QString uid;
    QString name;

    QJsonObject toJson() const;
    // Both keys must be present and hold strings.
    static std::optional<AudioInputDevicePreference> fromJson(const QJsonObject& object);

    friend bool operator==(const AudioInputDevicePreference&, const AudioInputDevicePreference&) = default;
};

}  // namespace quorvelle
