#include "AudioLevelSampler.h"

#include <algorithm>
#include <cmath>

namespace quorvelle {

namespace {

double clampUnit(double value) {
    if (!(value > 0)) return 0;  // also catches NaN
    return value > 1 ? 1 : value;
}

}  // namespace

AudioLevelSnapshot AudioLevelSampler::sample(const std::int16_t* samples, std::size_t count) const {
    if (count == 0 || samples == nullptr) return AudioLevelSnapshot::silent(m_bucketCount);
    const auto buckets = static_cast<std::size_t>(m_bucketCount);
    const auto bucketSize = std::max<std::size_t>(
        1, static_cast<std::size_t>(std::ceil(static_cast<double>(count) / static_cast<double>(buckets))));
    AudioLevelSnapshot snapshot{0, 0, std::vector<double>(buckets, 0.0)};
    double sumOfSquares = 0;
    for (std::size_t i = 0; i < count; ++i) {
        // The magnitude as an unsigned value, so -32768 is 32768 and then limited to full scale.
        const int s = samples[i];
        const double magnitude = static_cast<double>(s < 0 ? -s : s);
        const double x = std::min(1.0, magnitude / 32767.0);
        snapshot.peakPower = std::max(snapshot.peakPower, x);
        double& bar = snapshot.barLevels[std::min(buckets - 1, i / bucketSize)];
        bar = std::max(bar, x);
        sumOfSquares += x * x;
    }
    snapshot.averagePower = clampUnit(std::sqrt(sumOfSquares / static_cast<double>(count)));
    snapshot.peakPower = clampUnit(snapshot.peakPower);
    for (double& bar : snapshot.barLevels)
        bar = clampUnit(bar);
    return snapshot;
}

std::vector<double> AudioLevelDisplayScaler::scale(const std::vector<double>& levels) const {
    std::vector<double> heights;
    heights.reserve(levels.size());
    for (double level : levels) {
        const double x = clampUnit(level);
        if (x <= noiseFloor) {
            heights.push_back(0);
            continue;
        }
        heights.push_back(clampUnit(std::pow((x - noiseFloor) / (1 - noiseFloor), gamma)));
    }
    return heights;
}

}  // namespace quorvelle
