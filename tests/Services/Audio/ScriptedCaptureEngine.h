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
        std::lock_guard guard(mutex_);
        tap_ = std::move(block);
        installedTaps_.push_back(tap_);
    }
    void removeTap(int) override {
        calls << QStringLiteral("removeTap");
        std::lock_guard guard(mutex_);
        tap_ = nullptr;
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
            std::lock_guard guard(mutex_);
            tap = tap_;
        }
        if (tap) tap(buffer);
    }
    // Delivers through the n-th tap ever installed (from 0), even after it was removed: a buffer
    // already in flight when its capture ended.
    void deliverLate(std::size_t tapIndex, const AudioPcmBuffer& buffer) {
        TapBlock tap;
        {
            std::lock_guard guard(mutex_);
            if (tapIndex < installedTaps_.size()) tap = installedTaps_[tapIndex];
        }
        if (tap) tap(buffer);
    }

private:
    std::mutex mutex_;
    TapBlock tap_;
    std::vector<TapBlock> installedTaps_;
};

class FixedDeviceList final : public AudioDeviceListing {
public:
    QList<AudioDeviceInfo> devices;
    QList<AudioDeviceInfo> inputDevices() const override { return devices; }
};

}  // namespace quorvelle::test
