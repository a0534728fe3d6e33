#include "Services/Transcription/WhisperCpp/WhisperModelFile.h"

#include <QFile>
#include <QtEndian>

#include <ggml.h>

#include <array>
#include <cstdint>
#include <optional>

namespace quorvelle {
namespace {

constexpr int kHeaderFields = 11;
constexpr int kAudioLayerField = 4;
constexpr int kTextLayerField = 8;
// Far above any released model; keeps the arithmetic below from overflowing on a hostile header.
constexpr int32_t kMaxLayers = 1024;
constexpr int32_t kMaxMelFilterSide = 1 << 16;
constexpr int32_t kMaxTensorNameLength = 1024;
constexpr int32_t kMaxTensorDimensions = 4;
constexpr int64_t kMaxTensorElements = int64_t(1) << 40;

// The tensors whisper.cpp creates: 7 for the encoder's ends, 15 per encoder block, 4 for the
// decoder's ends, 24 per decoder block (its cross-attention included).
int64_t expectedTensorCount(int32_t audioLayers, int32_t textLayers) {
    return 7 + 15 * int64_t(audioLayers) + 4 + 24 * int64_t(textLayers);
}

class Reader {
public:
    explicit Reader(QFile& file) : m_file(file), m_size(file.size()) {}

    std::optional<int32_t> int32() {
        char bytes[4];
        if (m_file.read(bytes, 4) != 4) return std::nullopt;
        return qFromLittleEndian<int32_t>(bytes);
    }

    // Moves past byteCount bytes, all of which must be in the file.
    bool skip(int64_t byteCount) {
        const int64_t position = m_file.pos();
        if (byteCount < 0 || byteCount > m_size - position) return false;
        return m_file.seek(position + byteCount);
    }

    bool atEnd() const { return m_file.pos() == m_size; }

private:
    QFile& m_file;
    int64_t m_size;
};

bool skipTensor(Reader& reader) {
    const std::optional<int32_t> dimensions = reader.int32();
    const std::optional<int32_t> nameLength = reader.int32();
    const std::optional<int32_t> type = reader.int32();
    if (!dimensions || !nameLength || !type) return false;
    if (*dimensions < 0 || *dimensions > kMaxTensorDimensions) return false;
    if (*nameLength <= 0 || *nameLength > kMaxTensorNameLength) return false;
    if (*type < 0 || *type >= GGML_TYPE_COUNT) return false;
    const int64_t blockSize = ggml_blck_size(ggml_type(*type));
    if (blockSize <= 0) return false;  // a type the library no longer has

    int64_t elements = 1;
    std::optional<int32_t> rowLength;
    for (int32_t index = 0; index < *dimensions; ++index) {
        const std::optional<int32_t> extent = reader.int32();
        if (!extent || *extent <= 0) return false;
        if (!rowLength) rowLength = extent;
        if (*extent > kMaxTensorElements / elements) return false;
        elements *= *extent;
    }
    if (rowLength && *rowLength % blockSize != 0) return false;
    const int64_t bytes = elements / blockSize * int64_t(ggml_type_size(ggml_type(*type)));
    return reader.skip(*nameLength) && reader.skip(bytes);
}

}  // namespace

bool isCompleteWhisperModelFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    Reader reader(file);

    const std::optional<int32_t> magic = reader.int32();
    if (!magic || quint32(*magic) != GGML_FILE_MAGIC) return false;
    std::array<int32_t, kHeaderFields> header{};
    for (int32_t& field : header) {
        const std::optional<int32_t> value = reader.int32();
        if (!value) return false;
        field = *value;
    }
    const int32_t audioLayers = header[kAudioLayerField];
    const int32_t textLayers = header[kTextLayerField];
    if (audioLayers <= 0 || audioLayers > kMaxLayers || textLayers <= 0 || textLayers > kMaxLayers) return false;

    const std::optional<int32_t> mels = reader.int32();
    const std::optional<int32_t> fftBins = reader.int32();
    if (!mels || !fftBins || *mels < 0 || *mels > kMaxMelFilterSide || *fftBins < 0 || *fftBins > kMaxMelFilterSide)
        return false;
    if (!reader.skip(int64_t(*mels) * *fftBins * 4)) return false;

    const std::optional<int32_t> tokens = reader.int32();
    if (!tokens || *tokens < 0) return false;
    for (int32_t token = 0; token < *tokens; ++token) {
        const std::optional<int32_t> length = reader.int32();
        if (!length || !reader.skip(int64_t(quint32(*length)))) return false;
    }

    const int64_t expected = expectedTensorCount(audioLayers, textLayers);
    for (int64_t tensor = 0; tensor < expected; ++tensor) {
        if (!skipTensor(reader)) return false;
    }
    return reader.atEnd();
}

}  // namespace quorvelle
