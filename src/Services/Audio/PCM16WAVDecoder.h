#pragma once

#include <QByteArray>

#include <vector>

namespace quorvelle {

// Reads a 16-bit PCM WAV file back into mono float samples at 16 kHz for the on-device engine.
// Throws QuorvelleError: unexpectedRuntimeFailure for a malformed or unsupported file,
// noSpeechDetected for a file without one whole frame. Never reads outside the given bytes.
namespace PCM16WAVDecoder {

std::vector<float> decode(const QByteArray& file);

// Linear interpolation from one rate to another; the input unchanged when it or a rate is unusable.
std::vector<float> resample(const std::vector<float>& samples, double sourceRate, double targetRate);

}  // namespace PCM16WAVDecoder
}  // namespace quorvelle
