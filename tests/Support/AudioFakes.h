#pragma once

#include "Scripted.h"
#include "Services/Audio/AudioCapturing.h"
#include "Services/Audio/ResolvedAudioInputDeviceSelection.h"

#include <QList>
#include <QStringList>

#include <optional>

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
    void startCapture() override;
    CapturedAudioClip stopCapture() override;
    void cancelCapture() override;
    void setPreferredInputDevice(const std::optional<QString>& uid) override { preferredDeviceUIDs.append(uid); }
    AudioCaptureDebugSnapshot debugSnapshot() const override { return m_debug.value(); }
    CurrentValueSubject<AudioCaptureDebugSnapshot>& debugSnapshotPublisher() override { return m_debug; }

    // Sends on a new thread and waits for it: the value is then queued for the main thread.
    void sendLevelFromAnotherThread(const AudioLevelSnapshot& level);
    void sendDebugSnapshotFromAnotherThread(const AudioCaptureDebugSnapshot& snapshot);

    static CapturedAudioClip oneSecondClip();

private:
    CurrentValueSubject<AudioLevelSnapshot> m_levels{AudioLevelSnapshot::silent()};
    CurrentValueSubject<AudioCaptureDebugSnapshot> m_debug{AudioCaptureDebugSnapshot::empty()};
};

// A capture service that offers neither a microphone choice nor diagnostics.
class FakePlainAudioCapture final : public AudioCapturing {
public:
    bool isCapturing() const override { return false; }
    CurrentValueSubject<AudioLevelSnapshot>& levelPublisher() override { return m_levels; }
    void startCapture() override {}
    CapturedAudioClip stopCapture() override { return FakeAudioCapture::oneSecondClip(); }
    void cancelCapture() override {}

private:
    CurrentValueSubject<AudioLevelSnapshot> m_levels{AudioLevelSnapshot::silent()};
};

class FakeAudioDeviceLister final : public AudioDeviceListing {
public:
    QList<AudioDeviceInfo> devices;
    mutable int callCount = 0;

    QList<AudioDeviceInfo> inputDevices() const override {
        ++callCount;
        return devices;
    }
};

}  // namespace quorvelle::test
