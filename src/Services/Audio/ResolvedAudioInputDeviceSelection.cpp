#include "ResolvedAudioInputDeviceSelection.h"

namespace quorvelle {

ResolvedAudioInputDeviceSelection ResolvedAudioInputDeviceSelection::resolve(
    const std::optional<AudioInputDevicePreference>& preference, const QList<AudioDeviceInfo>& devices) {
    ResolvedAudioInputDeviceSelection selection;
    selection.storedPreference = preference;
    for (const AudioDeviceInfo& device : devices) {
        if (preference && !selection.preferredDevice && device.uid == preference->uid) {
            selection.preferredDevice = device;
        }
        if (!selection.defaultDevice && device.isDefault) selection.defaultDevice = device;
    }
    return selection;
}

std::optional<AudioDeviceInfo> ResolvedAudioInputDeviceSelection::deviceToApply() const {
    return preferredDevice ? preferredDevice : defaultDevice;
}

bool ResolvedAudioInputDeviceSelection::isUsingDefaultFallback() const {
    return storedPreference && !preferredDevice && defaultDevice;
}

QString ResolvedAudioInputDeviceSelection::requestedDeviceLabel() const {
    if (!storedPreference) return QStringLiteral("System Default");
    if (preferredDevice) return preferredDevice->name;
    return storedPreference->name + QStringLiteral(" (bagli degil)");
}

std::optional<QString> ResolvedAudioInputDeviceSelection::disconnectedPreferenceLabel() const {
    if (!storedPreference || preferredDevice) return std::nullopt;
    return storedPreference->name + QStringLiteral(" (bagli degil)");
}

}  // namespace quorvelle
