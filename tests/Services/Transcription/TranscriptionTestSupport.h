// Small helpers shared by the transcription tests: clips of known samples.
#pragma once

#include "Models/CapturedAudioClip.h"

#include <QByteArray>
#include <QtEndian>

#include <cstdint>
#include <vector>

namespace quorvelle::test {

// A 16 kHz mono 16-bit WAV clip of the samples (the standard 44-byte header).
inline CapturedAudioClip wavClip(const std::vector<int16_t>& samples) {
    QByteArray data(44, '\0');
    const auto put32 = [&data](int offset, quint32 value) { qToLittleEndian(value, data.data() + offset); };
    const auto put16 = [&data](int offset, quint16 value) { qToLittleEndian(value, data.data() + offset); };
    const quint32 pcmBytes = quint32(samples.size() * 2);
    data.replace(0, 4, "RIFF");
    put32(4, 36 + pcmBytes);
    data.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, 16000);
    put32(28, 32000);
    put16(32, 2);
    put16(34, 16);
    data.replace(36, 4, "data");
    put32(40, pcmBytes);
    for (const int16_t sample : samples) {
        char bytes[2];
        qToLittleEndian(sample, bytes);
        data.append(bytes, 2);
    }
    return CapturedAudioClip{data, double(samples.size()) / 16000.0, 16000, 1, 16, QStringLiteral("wav")};
}

}  // namespace quorvelle::test
