#pragma once

#include "Services/Audio/AudioCaptureEngineRunning.h"
#include "Services/Audio/ResolvedAudioInputDeviceSelection.h"

#include <QStringList>

#include <mutex>
#include <stdexcept>

namespace quorvelle::test {

// An engine whose tap the test calls by hand, recording what the service asked of it.
class ScriptedCaptureEngine final : public AudioCaptureEngineRunning {
public:
    AudioStreamFormat format{AudioCommonFormat::int16, 16000, 1, true};
    bool failStart = false;
    bool failDeviceSelection = false;
    std::optional<std::uint32_t> selectedDevice;
    QStringList calls;

    void setInputDevice(std::uint32_t deviceId) override {
        calls << QStringLiteral("setInputDevice %1").arg(deviceId);
        if (failDeviceSelection) throw std::runtime_error("refused");
        selectedDevice = deviceId;
    }
    AudioStreamFormat inputFormat(int) override { return format; }
    void installTap(int, std::uint32_t bufferSize, const AudioStreamFormat&, TapBlock block) override {
        calls << QStringLiteral("installTap %1").arg(bufferSize);
        std::lock_guard guard(m_mutex);
        m_tap = std::move(block);
        m_installedTaps.push_back(m_tap);
    }
    void removeTap(int) override {
        calls << QStringLiteral("removeTap");
        std::lock_guard guard(m_mutex);
        m_tap = nullptr;
    }
    void prepare() override { calls << QStringLiteral("prepare"); }
    void start() override {
        calls << QStringLiteral("start");
        if (failStart) throw std::runtime_error("no engine");
    }
    void stop() override { calls << QStringLiteral("stop"); }

    // Delivers a buffer through the installed tap, as the audio thread would.
    void deliver(const AudioPcmBuffer& buffer) {
        TapBlock tap;
        {
            std::lock_guard guard(m_mutex);
            tap = m_tap;
        }
        if (tap) tap(buffer);
    }
    // Delivers through the n-th tap ever installed (from 0), even after it was removed: a buffer
    // already in flight when its capture ended.
    void deliverLate(std::size_t tapIndex, const AudioPcmBuffer& buffer) {
        TapBlock tap;
        {
            std::lock_guard guard(m_mutex);
            if (tapIndex < m_installedTaps.size()) tap = m_installedTaps[tapIndex];
        }
        if (tap) tap(buffer);
    }

private:
    std::mutex m_mutex;
    TapBlock m_tap;
    std::vector<TapBlock> m_installedTaps;
};

class FixedDeviceList final : public AudioDeviceListing {
public:
    QList<AudioDeviceInfo> devices;
    QList<AudioDeviceInfo> inputDevices() const override { return devices; }
};

}  // namespace quorvelle::test
