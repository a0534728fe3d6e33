#pragma once

#include "Models/CapturedAudioClip.h"
#include "Services/Audio/WAVFileEncoder.h"

#include <cstdint>
#include <vector>

namespace quorvelle::test {

// A 16 kHz mono 16-bit WAV clip of the samples.
inline CapturedAudioClip wavClip(const std::vector<int16_t>& samples) {
    const QByteArray pcm(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size() * 2));
    return {WAVFileEncoder().encode(pcm, 16000), double(samples.size()) / 16000.0, 16000, 1, 16, QStringLiteral("wav")};
}

}  // namespace quorvelle::test
