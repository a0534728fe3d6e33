#pragma once

#include "Scripted.h"
#include "Services/Audio/AudioCapturing.h"
#include "Services/Audio/ResolvedAudioInputDeviceSelection.h"

#include <QList>
#include <QStringList>

#include <optional>
#include <thread>

namespace quorvelle::test {

// A capture service with microphone choice and diagnostics. Levels and debug snapshots can be sent
// from a thread of their own, as the audio thread does.
class FakeAudioCapture : public AudioCapturing, public AudioInputSelecting, public AudioCaptureDiagnosing {
public:
    QStringList calls;
    QList<std::optional<QString>> preferredDeviceUIDs;
    ScriptedOutcome startOutcome;
    Scripted<CapturedAudioClip> stopAnswer{oneSecondClip()};
    bool capturing = false;

    bool isCapturing() const override { return capturing; }
    CurrentValueSubject<AudioLevelSnapshot>& levelPublisher() override { return m_levels; }
    void startCapture() override { calls << QStringLiteral("startCapture"), startOutcome.next(), capturing = true; }
    CapturedAudioClip stopCapture() override {
        return calls << QStringLiteral("stopCapture"), capturing = false, stopAnswer.next();
    }
    void cancelCapture() override {
        calls << QStringLiteral("cancelCapture"), capturing = false, m_levels.send(AudioLevelSnapshot::silent());
    }
    void setPreferredInputDevice(const std::optional<QString>& uid) override { preferredDeviceUIDs.append(uid); }
    AudioCaptureDebugSnapshot debugSnapshot() const override { return m_debug.value(); }
    CurrentValueSubject<AudioCaptureDebugSnapshot>& debugSnapshotPublisher() override { return m_debug; }

    // Sends on a new thread and waits for it: the value is then queued for the main thread.
    void sendLevelFromAnotherThread(const AudioLevelSnapshot& level) {
        std::thread([&] { m_levels.send(level); }).join();
    }
    void sendDebugSnapshotFromAnotherThread(const AudioCaptureDebugSnapshot& snapshot) {
        std::thread([&] { m_debug.send(snapshot); }).join();
    }

    static CapturedAudioClip oneSecondClip() { return {.data = QByteArray(44 + 32000, '\0'), .duration = 1.0}; }

private:
    CurrentValueSubject<AudioLevelSnapshot> m_levels{AudioLevelSnapshot::silent()};
    CurrentValueSubject<AudioCaptureDebugSnapshot> m_debug{AudioCaptureDebugSnapshot::empty()};
};

class FakeAudioDeviceLister final : public AudioDeviceListing {
public:
    QList<AudioDeviceInfo> devices;
    mutable int callCount = 0;

    bool soundServerReachable = true;

    QList<AudioDeviceInfo> inputDevices() const override { return ++callCount, devices; }
    bool isSoundServerReachable() const override { return soundServerReachable; }
};

}  // namespace quorvelle::test
