#include "ViewModel/MicrophoneSelectionDecision.h"

#include "Models/AppStrings.h"

#include <algorithm>

namespace quorvelle {

namespace {

QString naming(const AppStrings& strings, QStringView english, QStringView turkish, const QString& name) {
    return strings.localized(english, turkish) + name + u'.';
}

}  // namespace

MicrophoneSelectionDecision MicrophoneSelectionDecision::forUserSelection(
    const std::optional<QString>& uid, const std::optional<AudioInputDevicePreference>& current,
    const QList<AudioDeviceInfo>& devices, const QString& languageCode) {
    const AppStrings strings(languageCode);
    if (!uid) {
        if (current) {
            return {Kind::apply, std::nullopt,
                    strings.localized(u"Microphone setting updated: System Default.",
                                      u"Mikrofon ayarı güncellendi: Sistem Varsayılanı.")};
        }
        return {Kind::noChange, std::nullopt,
                strings.localized(u"Microphone setting is already active: System Default.",
                                  u"Mikrofon ayarı zaten aktif: Sistem Varsayılanı.")};
    }
    const auto found =
        std::find_if(devices.begin(), devices.end(), [&](const AudioDeviceInfo& device) { return device.uid == *uid; });
    if (found == devices.end()) {
        return {Kind::apply, std::nullopt,
                strings.localized(u"Selected microphone was not found. System Default is being used.",
                                  u"Seçilen mikrofon bulunamadı. Sistem Varsayılanı kullanılıyor.")};
    }
    if (current && current->uid == found->uid && current->name == found->name) {
        return {
            Kind::noChange, std::nullopt,
            naming(strings, u"Microphone setting is already active: ", u"Mikrofon ayarı zaten aktif: ", found->name)};
    }
    return {Kind::apply, AudioInputDevicePreference{found->uid, found->name},
            naming(strings, u"Microphone setting updated: ", u"Mikrofon ayarı güncellendi: ", found->name)};
}

QString MicrophoneSelectionDecision::forRefresh(bool hasInputDevices, const QString& languageCode) {
    const AppStrings strings(languageCode);
    if (hasInputDevices) return strings.localized(u"Microphone list refreshed.", u"Mikrofon listesi yenilendi.");
    return strings.localized(u"Microphone list refreshed. No input device found.",
                             u"Mikrofon listesi yenilendi. Giriş cihazı bulunamadı.");
}

QString microphoneStatusMessage(const ResolvedAudioInputDeviceSelection& selection, const QString& languageCode,
                                const std::optional<AudioInputDevicePreference>& selected) {
    const AppStrings strings(languageCode);
    if (selection.isUsingDefaultFallback()) {
        return strings.localized(u"Selected microphone is not connected. System Default is being used temporarily.",
                                 u"Seçili mikrofon bağlı değil. Geçici olarak Sistem Varsayılanı kullanılıyor.");
    }
    const std::optional<AudioDeviceInfo> active = selection.deviceToApply();
    if (!active) {
        return strings.localized(u"Quorvelle uses the System Default microphone by default.",
                                 u"Quorvelle varsayılan olarak Sistem Varsayılanı mikrofonunu kullanır.");
    }
    if (selected) return naming(strings, u"Active microphone: ", u"Aktif mikrofon: ", active->name);
    return naming(strings, u"System Default active: ", u"Sistem Varsayılanı aktif: ", active->name);
}

}  // namespace quorvelle
