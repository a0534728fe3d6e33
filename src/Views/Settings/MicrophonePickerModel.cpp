#include "Views/Settings/MicrophonePickerModel.h"

namespace quorvelle {

QList<MicrophonePickerModel::Option> MicrophonePickerModel::options(
    const AppStrings& strings, const QList<AudioDeviceInfo>& devices,
    const std::optional<AudioInputDevicePreference>& preference, const QString& disconnectedLabel) {
    QList<Option> result{{strings.localized(u"System Default", u"Sistem Varsayılanı"), std::nullopt}};
    // Keeps an unplugged choice visible and selected.
    if (preference && !disconnectedLabel.isEmpty()) result.append({disconnectedLabel, preference->uid});
    for (const AudioDeviceInfo& device : devices)
        result.append({device.name, device.uid});
    return result;
}

int MicrophonePickerModel::selectedIndex(const QList<Option>& options,
                                         const std::optional<AudioInputDevicePreference>& preference) {
    const std::optional<QString> uid = preference ? std::optional(preference->uid) : std::nullopt;
    for (qsizetype i = 0; i < options.size(); ++i) {
        if (options[i].uid == uid) return int(i);
    }
    return -1;
}

}  // namespace quorvelle
