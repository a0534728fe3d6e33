#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

#include <optional>

namespace quorvelle {

// The microphone the user chose; the name labels it while the device is not connected.
struct AudioInputDevicePreference {
    Q_GADGET
    Q_PROPERTY(QString uid MEMBER uid)
    Q_PROPERTY(QString name MEMBER name)

public:
    QString uid;
    QString name;

    QJsonObject toJson() const;
    // Both keys must be present and hold strings.
    static std::optional<AudioInputDevicePreference> fromJson(const QJsonObject& object);

    friend bool operator==(const AudioInputDevicePreference&, const AudioInputDevicePreference&) = default;
};

}  // namespace quorvelle
