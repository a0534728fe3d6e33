#include "AudioFakes.h"

#include <thread>

namespace quorvelle::test {

CapturedAudioClip FakeAudioCapture::oneSecondClip() {
    CapturedAudioClip clip;
    clip.data = QByteArray(44 + 32000, '\0');
    clip.duration = 1.0;
    return clip;
}

void FakeAudioCapture::startCapture() {
    calls << QStringLiteral("startCapture");
    startOutcome.next();
    capturing = true;
}

CapturedAudioClip FakeAudioCapture::stopCapture() {
    calls << QStringLiteral("stopCapture");
    capturing = false;
    return stopAnswer.next();
}

void FakeAudioCapture::cancelCapture() {
    calls << QStringLiteral("cancelCapture");
    capturing = false;
    m_levels.send(AudioLevelSnapshot::silent());
}

void FakeAudioCapture::sendLevelFromAnotherThread(const AudioLevelSnapshot& level) {
    std::thread audioThread([this, level] { m_levels.send(level); });
    audioThread.join();
}

void FakeAudioCapture::sendDebugSnapshotFromAnotherThread(const AudioCaptureDebugSnapshot& snapshot) {
    std::thread audioThread([this, snapshot] { m_debug.send(snapshot); });
    audioThread.join();
}

}  // namespace quorvelle::test
