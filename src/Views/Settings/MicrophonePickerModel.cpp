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

MicrophonePickerModel::MicrophonePickerModel(QObject* parent) : QObject(parent) {
    rebuild();
}

void MicrophonePickerModel::setStrings(const AppStrings& strings) {
    m_strings = strings;
    rebuild();
}

void MicrophonePickerModel::setDiagnosticsSnapshot(const DiagnosticsSnapshot& snapshot) {
    m_diagnosticsSnapshot = snapshot;
    rebuild();
}

void MicrophonePickerModel::setSelectedMicrophonePreference(
    const std::optional<AudioInputDevicePreference>& preference) {
    m_preference = preference;
    rebuild();
}

void MicrophonePickerModel::setSelectedMicrophoneLabel(const QString& label) {
    m_disconnectedLabel = label;
    rebuild();
}

QStringList MicrophonePickerModel::titles() const {
    QStringList result;
    for (const Option& option : m_options)
        result.append(option.title);
    return result;
}

QVariant MicrophonePickerModel::uidAt(int index) const {
    if (index < 0 || index >= m_options.size() || !m_options[index].uid) return QVariant::fromValue(nullptr);
    return *m_options[index].uid;
}

void MicrophonePickerModel::rebuild() {
    m_options = options(m_strings, m_diagnosticsSnapshot.audioDevices, m_preference, m_disconnectedLabel);
    Q_EMIT optionsChanged();
}

}  // namespace quorvelle
