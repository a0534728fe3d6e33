#pragma once

#include "Services/Audio/AudioCaptureEngineRunning.h"

#include <QAudioDevice>
#include <QThread>

#include <functional>
#include <mutex>
#include <optional>

namespace quorvelle {

class QtAudioSourceWorker;

// The capture engine over Qt Multimedia: a QAudioSource in pull mode on a thread of its own (the
// audio thread), opened in the device's own format. Tap buffers carry at most the tap's frame
// count, whatever has arrived, so the first audio reaches the caller without waiting for a full
// buffer.
class QtAudioSourceEngine final : public AudioCaptureEngineRunning {
public:
    // `deviceForId` maps a listed device id to Qt's device (nothing when it is gone).
    explicit QtAudioSourceEngine(std::function<std::optional<QAudioDevice>(std::uint32_t)> deviceForId);
    ~QtAudioSourceEngine() override;

    void setInputDevice(std::uint32_t deviceId) override;
    AudioStreamFormat inputFormat(int bus) override;
    void installTap(int bus, std::uint32_t bufferSize, const AudioStreamFormat& format, TapBlock block) override;
    void removeTap(int bus) override;
    void prepare() override {}
    void start() override;
    void stop() override;

    // Called by the worker on the audio thread with the bytes that arrived.
    void deliver(const QByteArray& bytes);

private:
    QAudioDevice currentDevice() const;

    std::function<std::optional<QAudioDevice>(std::uint32_t)> m_deviceForId;
    std::optional<QAudioDevice> m_device;
    QThread m_thread;
    QtAudioSourceWorker* m_worker = nullptr;

    // Held while a tap call runs, so removeTap returns only after the last call ended.
    std::mutex m_tapMutex;
    TapBlock m_tap;
    AudioStreamFormat m_tapFormat;
    std::uint32_t m_tapFrames = 1024;
    QByteArray m_pending;  // a partial frame left from the last delivery (audio thread only)
};

}  // namespace quorvelle
