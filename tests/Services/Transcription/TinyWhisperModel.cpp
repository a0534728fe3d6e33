#include "TinyWhisperModel.h"

#include <QByteArray>
#include <QFile>
#include <QFloat16>
#include <QString>
#include <QtEndian>

#include <cstdint>
#include <vector>

namespace quorvelle::test {
namespace {

// The "tiny" model's dimensions (multilingual vocabulary), and the file type: large matrices in 16-bit floats.
constexpr int32_t kVocabulary = 51865, kAudioContext = 1500, kState = 384, kHeads = 6, kLayers = 4;
constexpr int32_t kTextContext = 448, kMels = 80, kFftBins = 201, kHalfPrecision = 1;
constexpr int32_t kWrittenTokens = 50257;  // the rest the library names itself

// The decoder's last layer norm is set to give the same vector (all ones) for every input, so a
// token's logit is the sum of its embedding row. Two rows stand out: the end of text, and one word
// that wins whenever the end of text is not allowed (the first step). The engine therefore
// transcribes every clip as that one word, quickly and with confidence, while the encoder, the
// language detection and the no-speech estimate still run on random weights.
constexpr int32_t kEndOfTextToken = 50257;  // multilingual
constexpr int32_t kWordToken = 60;          // " w60"

enum class Fill { random, ones, zeros, tokenEmbedding };

class ModelWriter {
public:
    ModelWriter(QFile& file, quint32 seed) : m_file(file), m_state(seed * 2654435761u + 1) {}

    template <typename T>
    void put(T value) {
        char bytes[sizeof(T)];
        qToLittleEndian(value, bytes);
        m_buffer.append(bytes, sizeof(T));
    }
    void bytes(const QByteArray& data) { m_buffer.append(data); }

    // Vectors in 32-bit floats, matrices in 16-bit ones.
    void tensor(const QString& name, std::vector<int32_t> shape, Fill fill = Fill::random) {
        const QByteArray nameBytes = name.toUtf8();
        const bool half =
            shape.size() > 1 && !name.endsWith(QLatin1String(".bias")) && !name.endsWith(QLatin1String("embedding"));
        for (const int32_t value : {int32_t(shape.size()), int32_t(nameBytes.size()), int32_t(half ? 1 : 0)})
            put(value);
        int64_t count = 1;
        for (const int32_t dimension : shape) {
            put(dimension);
            count *= dimension;
        }
        bytes(nameBytes);
        for (int64_t i = 0; i < count; ++i) {
            float value = nextWeight();
            if (fill == Fill::ones) value = 1.0f;
            if (fill == Fill::zeros) value = 0.0f;
            if (fill == Fill::tokenEmbedding && i / kState == kEndOfTextToken) value = 0.5f;
            if (fill == Fill::tokenEmbedding && i / kState == kWordToken) value = 0.4f;
            const qfloat16 halfValue(value);  // its bytes as they are: the target is little-endian
            if (half)
                m_buffer.append(reinterpret_cast<const char*>(&halfValue), sizeof halfValue);
            else
                put(value);
            if (m_buffer.size() > (1 << 22)) flush();
        }
    }

    bool flush() {
        m_ok = m_ok && m_file.write(m_buffer) == m_buffer.size();
        m_buffer.clear();
        return m_ok;
    }

private:
    // Small uniform weights keep the activations finite through the layers.
    float nextWeight() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return (float(m_state % 20001u) / 10000.0f - 1.0f) * 0.08f;
    }

    QFile& m_file;
    QByteArray m_buffer;
    quint32 m_state;
    bool m_ok = true;
};

void writeBlock(ModelWriter& out, const QString& prefix, bool withCrossAttention) {
    const auto norm = [&](const QString& name) {
        out.tensor(prefix + name + QStringLiteral(".weight"), {kState}, Fill::ones);
        out.tensor(prefix + name + QStringLiteral(".bias"), {kState}, Fill::zeros);
    };
    const auto attention = [&](const QString& name) {
        for (const char* part : {"query", "key", "value", "out"}) {
            const QString base = prefix + name + QLatin1Char('.') + QLatin1String(part);
            out.tensor(base + QStringLiteral(".weight"), {kState, kState});
            if (QLatin1String(part) != QLatin1String("key")) out.tensor(base + QStringLiteral(".bias"), {kState});
        }
    };
    norm(QStringLiteral("mlp_ln"));
    out.tensor(prefix + QStringLiteral("mlp.0.weight"), {kState, 4 * kState});
    out.tensor(prefix + QStringLiteral("mlp.0.bias"), {4 * kState});
    out.tensor(prefix + QStringLiteral("mlp.2.weight"), {4 * kState, kState});
    out.tensor(prefix + QStringLiteral("mlp.2.bias"), {kState});
    norm(QStringLiteral("attn_ln"));
    attention(QStringLiteral("attn"));
    if (withCrossAttention) {
        norm(QStringLiteral("cross_attn_ln"));
        attention(QStringLiteral("cross_attn"));
    }
}

}  // namespace

bool writeTinyRandomWhisperModel(const QString& path, quint32 seed) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    ModelWriter out(file, seed);

    for (const int32_t value : {0x67676d6c /* "ggml" */, kVocabulary, kAudioContext, kState, kHeads, kLayers,
                                kTextContext, kState, kHeads, kLayers, kMels, kHalfPrecision, kMels, kFftBins})
        out.put(value);
    for (int i = 0; i < kMels * kFftBins; ++i)
        out.put(i % kFftBins == (i / kFftBins) * 2 ? 1.0f : 0.0f);

    // Distinct printable tokens, so that decoded text is readable: the letters, a space (the
    // library looks it up by name), then made-up words.
    out.put(kWrittenTokens);
    for (int32_t token = 0; token < kWrittenTokens; ++token) {
        QByteArray text = QByteArray(" w") + QByteArray::number(token);
        if (token < 52) text = QByteArray(1, char(token < 26 ? 'a' + token : 'A' + token - 26));
        if (token == 52) text = " ";
        out.put(int32_t(text.size()));
        out.bytes(text);
    }

    out.tensor(QStringLiteral("encoder.positional_embedding"), {kState, kAudioContext});
    out.tensor(QStringLiteral("encoder.conv1.weight"), {3, kMels, kState});
    out.tensor(QStringLiteral("encoder.conv1.bias"), {1, kState});
    out.tensor(QStringLiteral("encoder.conv2.weight"), {3, kState, kState});
    out.tensor(QStringLiteral("encoder.conv2.bias"), {1, kState});
    out.tensor(QStringLiteral("encoder.ln_post.weight"), {kState}, Fill::ones);
    out.tensor(QStringLiteral("encoder.ln_post.bias"), {kState}, Fill::zeros);
    for (int layer = 0; layer < kLayers; ++layer)
        writeBlock(out, QStringLiteral("encoder.blocks.%1.").arg(layer), false);

    out.tensor(QStringLiteral("decoder.positional_embedding"), {kState, kTextContext});
    out.tensor(QStringLiteral("decoder.token_embedding.weight"), {kState, kVocabulary}, Fill::tokenEmbedding);
    out.tensor(QStringLiteral("decoder.ln.weight"), {kState}, Fill::zeros);
    out.tensor(QStringLiteral("decoder.ln.bias"), {kState}, Fill::ones);
    for (int layer = 0; layer < kLayers; ++layer)
        writeBlock(out, QStringLiteral("decoder.blocks.%1.").arg(layer), true);

    return out.flush() && file.flush();
}

}  // namespace quorvelle::test
