// The real whisper.cpp library on runs a dictation makes in a row: one loaded model used twice, a
// run stopped part way, and model files cut short (refused before the library sees them). Skipped
// in builds without whisper.cpp.
#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Services/Transcription/EmbeddedWhisperRuntime.h"
#include "Services/Transcription/LocalTranscriptionRuntimeError.h"
#include "Services/Transcription/WhisperEngine.h"
#include "Support/TestEventLoop.h"
#include "TinyWhisperModel.h"
#include "TranscriptionTestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>

#include <cmath>
#include <numbers>
#include <thread>
#include <variant>

namespace quorvelle {
namespace {

// A 220 Hz tone at 16 kHz, as the engine takes it.
std::vector<float> tone(int seconds) {
    std::vector<float> samples(size_t(seconds) * 16000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.1f * float(std::sin(2.0 * std::numbers::pi * 220.0 * double(i) / 16000.0));
    return samples;
}

class WhisperCppEngineRunTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!makeInstalledWhisperEngine()) return;
        directory = new QTemporaryDir;
        modelPath = directory->filePath(QStringLiteral("ggml-tiny.bin"));
        ASSERT_TRUE(test::writeTinyRandomWhisperModel(modelPath, 7));
    }
    static void TearDownTestSuite() {
        delete directory;
        directory = nullptr;
    }

    void SetUp() override {
        engine = makeInstalledWhisperEngine();
        if (!engine) GTEST_SKIP() << "whisper.cpp is not in this build (scripts/install-whisper found no source)";
        WhisperContextParams contextParams = engine->contextDefaultParams();
        contextParams.useGpu = false;
        context = engine->initFromFileWithParams(modelPath, contextParams);
        ASSERT_NE(context, nullptr);
        params = engine->fullDefaultParams(WhisperSamplingStrategy::greedy);
        params.nThreads = 2;
        params.noTimestamps = true;
        params.printProgress = false;
        params.language = QByteArray("en");
    }
    void TearDown() override {
        if (context) engine->free(context);
    }

    // Runs the samples and returns the segments' text, or the engine's failure code.
    std::variant<QString, int> run(const std::vector<float>& samples, std::stop_token stopToken = {}) {
        const int result = engine->full(context, params, samples.data(), int(samples.size()), stopToken);
        if (result != 0) return result;
        QString text;
        for (int segment = 0; segment < engine->fullNSegments(context); ++segment)
            text += engine->fullGetSegmentText(context, segment).value_or(QString());
        return text.trimmed();
    }

    static inline QTemporaryDir* directory = nullptr;
    static inline QString modelPath;
    std::shared_ptr<WhisperEngine> engine;
    WhisperContext* context = nullptr;
    WhisperFullParams params;
};

const QString kWord = QLatin1String(test::kTinyModelWord);

TEST_F(WhisperCppEngineRunTest, TranscribesTwiceInARowWithOneLoadedModel) {
    EXPECT_EQ(run(tone(5)), (std::variant<QString, int>(kWord)));
    EXPECT_EQ(run(tone(1)), (std::variant<QString, int>(kWord)));
    EXPECT_EQ(engine->fullNSegments(context), 1);
}

TEST_F(WhisperCppEngineRunTest, AStopEndsTheRunAndTheModelStillTranscribes) {
    // Two minutes of audio: several windows, each encoded and decoded, if the stop were not heeded.
    const std::vector<float> longClip = tone(120);
    for (const bool stopWhileRunning : {false, true}) {
        SCOPED_TRACE(stopWhileRunning ? "stopped while running" : "stopped before the run");
        std::stop_source stop;
        if (!stopWhileRunning) stop.request_stop();
        QSemaphore started;
        std::variant<QString, int> outcome;
        std::thread runner([&] {
            started.release();
            outcome = run(longClip, stop.get_token());
        });
        started.acquire();
        stop.request_stop();
        runner.join();
        EXPECT_TRUE(std::holds_alternative<int>(outcome));
        EXPECT_EQ(run(tone(1)), (std::variant<QString, int>(kWord)));
    }
}

TEST_F(WhisperCppEngineRunTest, ModelFilesCutShortAreRefused) {
    QFile model(modelPath);
    ASSERT_TRUE(model.open(QIODevice::ReadOnly));
    const QByteArray whole = model.readAll();
    // A tensor's record starts with three numbers and its extents, then its name.
    const qsizetype firstTensor = whole.indexOf("encoder.positional_embedding") - 12 - 2 * 4;
    const qsizetype lastTensor = whole.lastIndexOf("decoder.blocks.3.cross_attn.out.bias") - 12 - 1 * 4;
    ASSERT_GT(firstTensor, 0);
    ASSERT_GT(lastTensor, firstTensor);
    const QList<std::pair<const char*, qsizetype>> cuts{
        {"inside the header", 20},
        {"inside the mel filters", 1000},
        {"inside the vocabulary", firstTensor - 5000},
        {"right after the vocabulary: no tensors at all", firstTensor},
        {"inside the first tensor's data", firstTensor + 5000},
        {"half way", whole.size() / 2},
        {"the last tensor missing", lastTensor},
        {"the last byte missing", whole.size() - 1},
    };
    const QString cutPath = directory->filePath(QStringLiteral("ggml-base.bin"));
    EmbeddedWhisperRuntime runtime(engine);
    const QString title = localModelDescriptor(LocalTranscriptionModelID::baseMultilingual).title;
    for (const auto& [where, length] : cuts) {
        SCOPED_TRACE(where);
        QFile cut(cutPath);
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(cut.write(whole.left(length)), length);
        cut.close();
        WhisperContextParams contextParams = engine->contextDefaultParams();
        contextParams.useGpu = false;
        EXPECT_EQ(engine->initFromFileWithParams(cutPath, contextParams), nullptr);
        try {
            test::runTask(runtime.transcribe(test::wavClip(std::vector<int16_t>(16000, 100)),
                                             LocalTranscriptionModelID::baseMultilingual, cutPath, QStringLiteral("en"),
                                             LocalWhisperAccelerationMode::cpu, std::nullopt));
            ADD_FAILURE() << "expected modelLoadFailed";
        } catch (const LocalTranscriptionRuntimeError& error) {
            EXPECT_EQ(error, LocalTranscriptionRuntimeError::modelLoadFailed(title));
        }
    }
}

}  // namespace
}  // namespace quorvelle
