#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace quorvelle {

// One audio input device as the device lister reports it.
struct AudioDeviceInfo {
    Q_GADGET
    Q_PROPERTY(quint32 id MEMBER id)
    Q_PROPERTY(QString uid MEMBER uid)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(bool isDefault MEMBER isDefault)

public:
    quint32 id = 0;
    QString uid;
    QString name;
    bool isDefault = false;

    friend bool operator==(const AudioDeviceInfo&, const AudioDeviceInfo&) = default;
};

}  // namespace quorvelle
