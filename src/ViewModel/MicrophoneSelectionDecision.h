#pragma once

#include "Models/AudioDeviceInfo.h"
#include "Models/AudioInputDevicePreference.h"
#include "Services/Audio/ResolvedAudioInputDeviceSelection.h"

#include <QList>
#include <QString>

#include <optional>

namespace quorvelle {

// What picking a microphone does: nothing but a message, or store a preference (none is the
// system default input) and show a message.
struct MicrophoneSelectionDecision {
    enum class Kind {
        noChange,
        apply,
    };

    Kind kind = Kind::noChange;
    std::optional<AudioInputDevicePreference> preference;
    QString message;

    // uid none is the System Default row. A uid no listed device has falls back to the default.
    static MicrophoneSelectionDecision forUserSelection(const std::optional<QString>& uid,
                                                        const std::optional<AudioInputDevicePreference>& current,
                                                        const QList<AudioDeviceInfo>& devices,
                                                        const QString& languageCode);
    static QString forRefresh(bool hasInputDevices, const QString& languageCode);

    friend bool operator==(const MicrophoneSelectionDecision&, const MicrophoneSelectionDecision&) = default;
};

// The line under the microphone picker: which device is in use, and whether the chosen one is missing.
QString microphoneStatusMessage(const ResolvedAudioInputDeviceSelection& selection, const QString& languageCode,
                                const std::optional<AudioInputDevicePreference>& selected);

}  // namespace quorvelle
