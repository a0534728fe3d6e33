#pragma once

#include "Models/AudioDeviceInfo.h"
#include "Models/AudioInputDevicePreference.h"

#include <QList>
#include <QString>

#include <optional>

namespace quorvelle {

// Lists the audio input devices present now (queried afresh at every call).
class AudioDeviceListing {
public:
    virtual ~AudioDeviceListing() = default;
    virtual QList<AudioDeviceInfo> inputDevices() const = 0;
    // False when the sound server itself does not answer: then no device is listed for that reason.
    virtual bool isSoundServerReachable() const { return true; }
};

// The stored microphone choice matched against the devices present now.
struct ResolvedAudioInputDeviceSelection {
    std::optional<AudioInputDevicePreference> storedPreference;
    std::optional<AudioDeviceInfo> preferredDevice;
    std::optional<AudioDeviceInfo> defaultDevice;

    static ResolvedAudioInputDeviceSelection resolve(const std::optional<AudioInputDevicePreference>& preference,
                                                     const QList<AudioDeviceInfo>& devices);

    // The device a capture applies: the chosen one when present, else the default one.
    std::optional<AudioDeviceInfo> deviceToApply() const;
    // A choice is stored, its device is gone, and a default device stands in.
    bool isUsingDefaultFallback() const;
    QString requestedDeviceLabel() const;
    // "<stored name> (bagli degil)" while the chosen device is not connected.
    std::optional<QString> disconnectedPreferenceLabel() const;

    friend bool operator==(const ResolvedAudioInputDeviceSelection&,
                           const ResolvedAudioInputDeviceSelection&) = default;
};

}  // namespace quorvelle
