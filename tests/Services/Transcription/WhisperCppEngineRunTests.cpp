// The real whisper.cpp library on runs made in a row with one loaded model, a run stopped part way,
// and model files cut short (refused before the library sees them). Skipped without whisper.cpp.
#include "Services/Transcription/WhisperEngine.h"
#include "TinyWhisperModel.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>

#include <cmath>
#include <thread>

namespace quorvelle {
namespace {

// A quiet 220 Hz tone at 16 kHz.
std::vector<float> tone(int seconds) {
    std::vector<float> samples(size_t(seconds) * 16000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.1f * float(std::sin(0.0864 * double(i)));
    return samples;
}

class WhisperCppEngineRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = makeInstalledWhisperEngine();
        if (!engine) GTEST_SKIP() << "whisper.cpp is not in this build (scripts/install-whisper found no source)";
        modelPath = directory.filePath(QStringLiteral("ggml-tiny.bin"));
        ASSERT_TRUE(test::writeTinyRandomWhisperModel(modelPath));
        context = load(modelPath);
        ASSERT_NE(context, nullptr);
        params = engine->fullDefaultParams(WhisperSamplingStrategy::greedy);
        params.nThreads = 2;
        params.printProgress = false;
        params.language = QByteArray("en");
    }
    void TearDown() override {
        if (context) engine->free(context);
    }

    WhisperContext* load(const QString& path) {
        WhisperContextParams contextParams = engine->contextDefaultParams();
        contextParams.useGpu = false;
        return engine->initFromFileWithParams(path, contextParams);
    }

    // The segments' text, or none when the run fails.
    std::optional<QString> run(const std::vector<float>& samples, std::stop_token stopToken = {}) {
        if (engine->full(context, params, samples.data(), int(samples.size()), stopToken) != 0) return std::nullopt;
        QString text;
        for (int segment = 0; segment < engine->fullNSegments(context); ++segment)
            text += engine->fullGetSegmentText(context, segment).value_or(QString());
        return text.trimmed();
    }

    QTemporaryDir directory;
    QString modelPath;
    std::shared_ptr<WhisperEngine> engine;
    WhisperContext* context = nullptr;
    WhisperFullParams params;
    const QString word = QLatin1String(test::kTinyModelWord);
};

TEST_F(WhisperCppEngineRunTest, TranscribesTwiceInARowWithOneLoadedModel) {
    EXPECT_EQ(run(tone(5)), word);
    EXPECT_EQ(run(tone(1)), word);
}

TEST_F(WhisperCppEngineRunTest, AStopEndsTheRunAndTheModelStillTranscribes) {
    // Two minutes: several windows to encode and decode, were the stop not heeded.
    const std::vector<float> longClip = tone(120);
    for (const bool stopWhileRunning : {false, true}) {
        SCOPED_TRACE(stopWhileRunning ? "stopped while running" : "stopped before the run");
        std::stop_source stop;
        if (!stopWhileRunning) stop.request_stop();
        QSemaphore started;
        std::optional<QString> outcome = word;
        std::thread runner([&] {
            started.release();
            outcome = run(longClip, stop.get_token());
        });
        started.acquire();
        stop.request_stop();
        runner.join();
        EXPECT_EQ(outcome, std::nullopt);
        EXPECT_EQ(run(tone(1)), word);
    }
}

TEST_F(WhisperCppEngineRunTest, ModelFilesCutShortAreRefused) {
    QFile model(modelPath);
    ASSERT_TRUE(model.open(QIODevice::ReadOnly));
    const QByteArray whole = model.readAll();
    // A tensor's record: three numbers, its extents, then its name.
    const qsizetype firstTensor = whole.indexOf("encoder.positional_embedding") - 12 - 2 * 4;
    const qsizetype lastTensor = whole.lastIndexOf("decoder.blocks.3.cross_attn.out.bias") - 12 - 1 * 4;
    ASSERT_GT(firstTensor, 0);
    const QList<std::pair<const char*, qsizetype>> cuts{
        {"inside the header", 20},
        {"inside the vocabulary", firstTensor - 5000},
        {"right after the vocabulary: no tensors at all", firstTensor},
        {"inside the first tensor's data", firstTensor + 5000},
        {"the last tensor missing", lastTensor},
        {"the last byte missing", whole.size() - 1},
    };
    const QString cutPath = directory.filePath(QStringLiteral("ggml-base.bin"));
    for (const auto& [where, length] : cuts) {
        SCOPED_TRACE(where);
        QFile cut(cutPath);
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(cut.write(whole.left(length)), length);
        cut.close();
        EXPECT_EQ(load(cutPath), nullptr);
    }
}

}  // namespace
}  // namespace quorvelle
