// The real whisper.cpp library behind the engine interface, with a tiny random-weight model that the
// test writes itself. Skipped in builds without whisper.cpp.
#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Services/Audio/PCM16WAVDecoder.h"
#include "Services/Transcription/EmbeddedWhisperRuntime.h"
#include "Services/Transcription/WhisperEngine.h"
#include "Support/TestEventLoop.h"
#include "TinyWhisperModel.h"
#include "TranscriptionTestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>

#include <cmath>
#include <thread>

namespace quorvelle {
namespace {

CapturedAudioClip tone(int seconds) {
    std::vector<int16_t> samples(size_t(seconds) * 16000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(3000.0 * std::sin(0.1728 * double(i)));
    return test::wavClip(samples);
}

class WhisperCppEngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(!makeInstalledWhisperEngine() || test::writeTinyRandomWhisperModel(modelPath));
    }
    void SetUp() override {
        engine = makeInstalledWhisperEngine();
        if (!engine) GTEST_SKIP() << "whisper.cpp is not in this build (scripts/install-whisper found no source)";
        params = engine->fullDefaultParams(WhisperSamplingStrategy::greedy);
        params.nThreads = 2;
        params.printProgress = false;
        params.language = QByteArray("auto");
    }
    void TearDown() override {
        if (context) engine->free(context);
    }

    // With flash attention, as the app loads its models.
    WhisperContext* load(const QString& path) { return engine->initFromFileWithParams(path, {false, true}); }
    std::optional<QString> run(int seconds, std::stop_token stopToken = {}) {
        const std::vector<float> samples = PCM16WAVDecoder::decode(tone(seconds).data);
        if (engine->full(context, params, samples.data(), int(samples.size()), stopToken) != 0) return std::nullopt;
        QString text;
        for (int segment = 0; segment < engine->fullNSegments(context); ++segment)
            text += engine->fullGetSegmentText(context, segment).value_or(QString());
        return text.trimmed();
    }

    static inline QTemporaryDir directory;
    static inline QString modelPath = directory.filePath(QStringLiteral("ggml-tiny-random.bin"));
    std::shared_ptr<WhisperEngine> engine;
    WhisperContext* context = nullptr;
    WhisperFullParams params;
    const QString word = QLatin1String(test::kTinyModelWord);
};

TEST_F(WhisperCppEngineTest, RuntimeTranscribesTwiceWithOneModelAndFilesThatAreNoModelOrCutShortAreRefused) {
    // Two threads: the suite runs its tests side by side.
    EmbeddedWhisperRuntime runtime(engine, 2);
    EXPECT_TRUE(runtime.availability().isReady());
    // Accelerated (no GPU back end here: the library stays on the processor), twice with one model.
    for (const auto& [language, prompt] : QList<std::pair<std::optional<QString>, std::optional<QString>>>{
             {std::nullopt, QStringLiteral("Quorvelle")}, {QStringLiteral(" EN "), std::nullopt}}) {
        EXPECT_EQ(test::runTask(runtime.transcribe(tone(1), LocalTranscriptionModelID::tinyMultilingual, modelPath,
                                                   language, LocalWhisperAccelerationMode::accelerated, prompt)),
                  word);
    }

    QFile model(modelPath);
    ASSERT_TRUE(model.open(QIODevice::ReadOnly));
    const QByteArray whole = model.readAll();
    // A tensor's record: three numbers, its extents, then its name.
    const qsizetype firstTensor = whole.indexOf("encoder.positional_embedding") - 12 - 2 * 4;
    const qsizetype lastTensor = whole.lastIndexOf("decoder.blocks.3.cross_attn.out.bias") - 12 - 1 * 4;
    ASSERT_GT(firstTensor, 0);
    const QList<std::pair<const char*, QByteArray>> files{
        {"no model at all", QByteArray(4096, 'x')},
        {"inside the header", whole.left(20)},
        {"inside the vocabulary", whole.left(firstTensor - 5000)},
        {"right after the vocabulary: no tensors at all", whole.left(firstTensor)},
        {"inside the first tensor's data", whole.left(firstTensor + 5000)},
        {"the last tensor missing", whole.left(lastTensor)},
        {"the last byte missing", whole.left(whole.size() - 1)},
    };
    const QString path = directory.filePath(QStringLiteral("ggml-base.bin"));
    for (const auto& [what, bytes] : files) {
        SCOPED_TRACE(what);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
        file.close();
        EXPECT_EQ(load(path), nullptr);
    }
}

TEST_F(WhisperCppEngineTest, RunsReadSegmentsAndLanguageAndAStopEndsARunButNotTheModel) {
    EXPECT_FALSE(engine->printSystemInfo().trimmed().isEmpty());
    context = load(modelPath);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(run(1), word);
    ASSERT_EQ(engine->fullNSegments(context), 1);
    EXPECT_GE(engine->fullGetSegmentNoSpeechProb(context, 0), 0.0f);
    EXPECT_LT(engine->fullGetSegmentNoSpeechProb(context, 0), 0.8f);
    const int language = engine->fullLangId(context);
    EXPECT_TRUE(language >= 0 && engine->langStr(language) && engine->langStrFull(language)) << language;
    EXPECT_FALSE(engine->langStr(100000).has_value());

    for (const bool stopWhileRunning : {false, true}) {
        SCOPED_TRACE(stopWhileRunning ? "stopped while running" : "stopped before the run");
        std::stop_source stop;
        if (!stopWhileRunning) stop.request_stop();
        QSemaphore started;
        std::optional<QString> outcome = word;
        std::thread runner([&] {
            started.release();
            // Two minutes: several windows to encode and decode, were the stop not heeded.
            outcome = run(120, stop.get_token());
        });
        started.acquire();
        stop.request_stop();
        runner.join();
        EXPECT_EQ(outcome, std::nullopt);
        EXPECT_EQ(run(5), word);
    }
}

}  // namespace
}  // namespace quorvelle
