#pragma once

#include <vector>

namespace quorvelle {

// Loudness of one converted audio buffer: RMS, peak and the bars of the live waveform, all 0...1.
struct AudioLevelSnapshot {
    double averagePower = 0;
    double peakPower = 0;
    std::vector<double> barLevels;

    // The resting value: silence over `bars` bars.
    static AudioLevelSnapshot silent(int bars = 12) {
        return AudioLevelSnapshot{0, 0, std::vector<double>(static_cast<std::size_t>(bars > 0 ? bars : 1), 0.0)};
    }

    friend bool operator==(const AudioLevelSnapshot&, const AudioLevelSnapshot&) = default;
};

}  // namespace quorvelle
