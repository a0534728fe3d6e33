#pragma once

#include <QString>
#include <QtGlobal>

namespace quorvelle {

// One audio input device as the device lister reports it.
struct AudioDeviceInfo {
    quint32 id = 0;
    QString uid;
    QString name;
    bool isDefault = false;

    friend bool operator==(const AudioDeviceInfo&, const AudioDeviceInfo&) = default;
};

}  // namespace quorvelle
