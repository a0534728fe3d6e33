#pragma once

#include <QByteArray>

namespace quorvelle {

// Wraps PCM bytes into a file format for upload or decoding.
class WAVFileEncoding {
public:
    virtual ~WAVFileEncoding() = default;
    virtual QByteArray encode(const QByteArray& pcmData, double sampleRate) const = 0;
};

// A 44-byte RIFF/WAVE header for one channel of signed 16-bit little-endian samples, then the bytes
// unchanged (an odd count gets no pad byte).
class WAVFileEncoder final : public WAVFileEncoding {
public:
    QByteArray encode(const QByteArray& pcmData, double sampleRate) const override;
};

}  // namespace quorvelle
