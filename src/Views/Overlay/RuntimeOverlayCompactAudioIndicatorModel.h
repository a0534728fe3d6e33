#pragma once

#include "Models/AudioLevelSnapshot.h"
#include "Models/SessionState.h"
#include "Services/Audio/AudioLevelSampler.h"

#include <vector>

namespace quorvelle {

// What the compact overlay draws inside its glyph: five level bars and the scale of the halo
// behind them. Shown only while recording; every other state gets `hidden()`.
struct RuntimeOverlayCompactAudioIndicatorModel {
    bool isVisible = false;
    std::vector<double> levels;
    double glowScale = 1.0;

    static const RuntimeOverlayCompactAudioIndicatorModel& hidden();
    static RuntimeOverlayCompactAudioIndicatorModel make(const SessionState& state, const AudioLevelSnapshot& snapshot);

    // Both overlay views scale raw levels with this curve.
    static AudioLevelDisplayScaler displayScaler() { return AudioLevelDisplayScaler{0.003, 0.35}; }
    // The resting arch of the five compact bars while recording.
    static const std::vector<double>& compactLevelFloor();

    friend bool operator==(const RuntimeOverlayCompactAudioIndicatorModel&,
                           const RuntimeOverlayCompactAudioIndicatorModel&) = default;
};

// Nearest-sample picking of `count` values (at least one) out of `levels`; zeros for no input.
std::vector<double> resampleLevels(const std::vector<double>& levels, int count);
// The larger value at each position of the shorter length; a NaN on either side keeps `first`.
std::vector<double> mergeLevelsByMax(const std::vector<double>& first, const std::vector<double>& second);

}  // namespace quorvelle
