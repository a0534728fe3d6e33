#include "Views/Overlay/RuntimeOverlayCompactAudioIndicatorModel.h"

#include <algorithm>
#include <cmath>

namespace quorvelle {

const RuntimeOverlayCompactAudioIndicatorModel& RuntimeOverlayCompactAudioIndicatorModel::hidden() {
    static const RuntimeOverlayCompactAudioIndicatorModel model{false, {}, 1.0};
    return model;
}

const std::vector<double>& RuntimeOverlayCompactAudioIndicatorModel::compactLevelFloor() {
    static const std::vector<double> floor{0.12, 0.2, 0.28, 0.2, 0.12};
    return floor;
}

RuntimeOverlayCompactAudioIndicatorModel RuntimeOverlayCompactAudioIndicatorModel::make(
    const SessionState& state, const AudioLevelSnapshot& snapshot) {
    if (state.kind() != SessionState::Kind::recording) return hidden();
    const AudioLevelDisplayScaler scaler = displayScaler();
    RuntimeOverlayCompactAudioIndicatorModel model;
    model.isVisible = true;
    model.levels = mergeLevelsByMax(resampleLevels(scaler.scale(snapshot.barLevels), 5), compactLevelFloor());
    const double peak = snapshot.peakPower;
    // A silent recording keeps the halo a little enlarged, so the form reads as listening.
    if (std::isnan(peak) || peak <= 0 || std::min(peak, 1.0) <= scaler.noiseFloor) {
        model.glowScale = 1.02;
    } else {
        const double scaled =
            std::min(1.0, std::pow((std::min(peak, 1.0) - scaler.noiseFloor) / (1 - scaler.noiseFloor), scaler.gamma));
        model.glowScale = 1 + 0.1 * scaled;
    }
    return model;
}

std::vector<double> resampleLevels(const std::vector<double>& levels, int count) {
    const int n = std::max(count, 1);
    if (levels.empty()) return std::vector<double>(std::size_t(n), 0.0);
    if (levels.size() == std::size_t(n)) return levels;
    const auto last = static_cast<long long>(levels.size()) - 1;
    std::vector<double> picked;
    picked.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        long long index = count > 1 ? std::llround(double(i) / double(count - 1) * double(last))
                                    : static_cast<long long>(levels.size() / 2);
        picked.push_back(levels[std::size_t(std::clamp(index, 0LL, last))]);
    }
    return picked;
}

std::vector<double> mergeLevelsByMax(const std::vector<double>& first, const std::vector<double>& second) {
    const std::size_t length = std::min(first.size(), second.size());
    std::vector<double> merged;
    merged.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
        merged.push_back(first[i] <= second[i] ? second[i] : first[i]);
    return merged;
}

}  // namespace quorvelle
