#pragma once

#include "Models/AudioLevelSnapshot.h"

#include <cstddef>
#include <cstdint>

namespace quorvelle {

// Summarises 16-bit samples into RMS, peak and `bucketCount` bars (each the loudest sample of its
// run of consecutive samples). Runs on the audio thread: one pass, no locks.
class AudioLevelSampler {
public:
    explicit AudioLevelSampler(int bucketCount = 12) : m_bucketCount(bucketCount < 1 ? 1 : bucketCount) {}

    int bucketCount() const { return m_bucketCount; }
    AudioLevelSnapshot sample(const std::int16_t* samples, std::size_t count) const;

private:
    int m_bucketCount;
};

// Maps raw levels to bar heights for display: a noise floor shows as nothing and quiet levels are
// lifted by a gamma curve.
struct AudioLevelDisplayScaler {
    double noiseFloor = 0.003;
    double gamma = 0.35;

    std::vector<double> scale(const std::vector<double>& levels) const;
};

}  // namespace quorvelle
