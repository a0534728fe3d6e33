// Feeds arbitrary bytes to the WAV decoder: it must return samples or throw QuorvelleError, and
// never read outside the input (AddressSanitizer) or hit undefined behaviour.
#include "Models/QuorvelleError.h"
#include "Services/Audio/PCM16WAVDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        quorvelle::PCM16WAVDecoder::decode(bytes);
    } catch (const quorvelle::QuorvelleError&) {
    }
    return 0;
}
