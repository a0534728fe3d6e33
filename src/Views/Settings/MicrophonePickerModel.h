#pragma once

#include "Models/AppStrings.h"
#include "Models/AudioDeviceInfo.h"
#include "Models/AudioInputDevicePreference.h"

#include <QList>
#include <QString>

#include <optional>

namespace quorvelle {

// A microphone picker's options: the system default, the stored choice when its device is not
// connected, then the devices last listed. Each option is tagged with a device uid, none for the
// system default; the selection is the option tagged with the stored uid.
struct MicrophonePickerModel {
    struct Option {
        QString title;
        std::optional<QString> uid;

        friend bool operator==(const Option&, const Option&) = default;
    };

    // disconnectedLabel: the stored device's name and " (bagli degil)" while it is not connected;
    // empty otherwise.
    static QList<Option> options(const AppStrings& strings, const QList<AudioDeviceInfo>& devices,
                                 const std::optional<AudioInputDevicePreference>& preference,
                                 const QString& disconnectedLabel);
    // -1 when no option carries the stored uid.
    static int selectedIndex(const QList<Option>& options, const std::optional<AudioInputDevicePreference>& preference);
};

}  // namespace quorvelle
