#pragma once

#include "Services/Audio/ResolvedAudioInputDeviceSelection.h"

#include <QAudioDevice>
#include <QHash>

#include <optional>

namespace quorvelle {

// Lists the microphones: Qt Multimedia's input list (monitor sources are not in it), numbered and
// flagged default by PulseAudio itself, because Qt 6.4 reports the first source as the default.
// Every call asks again; nothing is cached.
class PulseAudioDeviceService final : public AudioDeviceListing {
public:
    QList<AudioDeviceInfo> inputDevices() const override;
    bool isSoundServerReachable() const override { return queryServer().has_value(); }

    struct ServerView {
        QString defaultSourceName;
        QHash<QString, std::uint32_t> sourceIndexByName;
    };
    // Asks the sound server for the default source and the source numbers; nothing when it does
    // not answer within a short time.
    static std::optional<ServerView> queryServer();

    // Builds the list from Qt's devices and the server's view (pure, for tests).
    static QList<AudioDeviceInfo> makeList(const QList<QAudioDevice>& devices, const std::optional<ServerView>& server);
};

}  // namespace quorvelle
