#pragma once

#include <QString>

#include <vector>

namespace quorvelle {

// What the last capture used and saw, for the diagnostics screens.
struct AudioCaptureDebugSnapshot {
    QString requestedDeviceLabel;
    QString resolvedDeviceLabel;
    QString inputFormatSummary;
    QString targetFormatSummary;
    std::vector<double> observedInputChannelPeakMagnitudes;
    int observedInputBufferCount = 0;
    int observedConvertedBufferCount = 0;
    int lastObservedFrameLength = 0;
    bool didObserveAudioFrames = false;
    bool didObserveNonSilentAudio = false;

    static AudioCaptureDebugSnapshot empty();

    // "ch1 0.250 / ch2 0.000", or "Henuz yok" before any audio.
    QString signalSummary() const;
    // "Input 3, converted 2, last frames 341".
    QString bufferSummary() const;

    friend bool operator==(const AudioCaptureDebugSnapshot&, const AudioCaptureDebugSnapshot&) = default;
};

// Element by element the larger of two peak lists (missing entries count as 0), clamped to 0...1;
// an empty `latest` keeps `previous`.
std::vector<double> mergeChannelPeaks(const std::vector<double>& previous, const std::vector<double>& latest);

}  // namespace quorvelle
