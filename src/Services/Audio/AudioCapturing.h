#pragma once

#include "Models/AudioLevelSnapshot.h"
#include "Models/CapturedAudioClip.h"
#include "Services/Audio/AudioCaptureDebugSnapshot.h"
#include "Support/CurrentValueSubject.h"

#include <QString>

#include <optional>

namespace quorvelle {

// Records the microphone for one dictation at a time.
class AudioCapturing {
public:
    virtual ~AudioCapturing() = default;
    virtual bool isCapturing() const = 0;
    // Live levels; values arrive on the audio thread while recording.
    virtual CurrentValueSubject<AudioLevelSnapshot>& levelPublisher() = 0;
    // Throws AudioCaptureError.
    virtual void startCapture() = 0;
    // Throws AudioCaptureError (captureNotRunning).
    virtual CapturedAudioClip stopCapture() = 0;
    // Never fails; discards the audio.
    virtual void cancelCapture() = 0;
};

// The microphone choice; it takes effect at the next start. No uid means the system default input.
class AudioInputSelecting {
public:
    virtual ~AudioInputSelecting() = default;
    virtual void setPreferredInputDevice(const std::optional<QString>& uid) = 0;
};

class AudioCaptureDiagnosing {
public:
    virtual ~AudioCaptureDiagnosing() = default;
    virtual AudioCaptureDebugSnapshot debugSnapshot() const = 0;
    virtual CurrentValueSubject<AudioCaptureDebugSnapshot>& debugSnapshotPublisher() = 0;
};

}  // namespace quorvelle
