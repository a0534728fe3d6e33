#include "WAVFileEncoder.h"

#include <QtEndian>

#include <cstdint>

namespace quorvelle {

namespace {

void appendU32(QByteArray& out, std::uint32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendU16(QByteArray& out, std::uint16_t value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

}  // namespace

QByteArray WAVFileEncoder::encode(const QByteArray& pcmData, double sampleRate) const {
    const auto rate = sampleRate > 0 ? static_cast<std::uint32_t>(sampleRate) : 0u;
    const auto size = static_cast<std::uint32_t>(pcmData.size());
    QByteArray file;
    file.reserve(44 + pcmData.size());
    file.append("RIFF", 4);
    appendU32(file, 36 + size);
    file.append("WAVE", 4);
    file.append("fmt ", 4);
    appendU32(file, 16);
    appendU16(file, 1);  // PCM
    appendU16(file, 1);  // one channel
    appendU32(file, rate);
    appendU32(file, rate * 2);
    appendU16(file, 2);   // block align
    appendU16(file, 16);  // bits per sample
    file.append("data", 4);
    appendU32(file, size);
    file.append(pcmData);
    return file;
}

}  // namespace quorvelle
