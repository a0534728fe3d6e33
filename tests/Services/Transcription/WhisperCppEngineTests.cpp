// The real whisper.cpp library behind the engine interface, with a tiny random-weight model that the
// test writes itself. Skipped in builds without whisper.cpp.
#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Services/Transcription/EmbeddedWhisperRuntime.h"
#include "Services/Transcription/LocalTranscriptionRuntimeError.h"
#include "Services/Transcription/WhisperEngine.h"
#include "Support/TestEventLoop.h"
#include "TinyWhisperModel.h"
#include "TranscriptionTestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <numbers>

namespace quorvelle {
namespace {

constexpr const char* kSkipReason =
    "whisper.cpp is not installed in this build (configure with -DQUORVELLE_WHISPER=ON and the library "
    "on CMAKE_PREFIX_PATH)";

// One second of what the test microphone gives: a quiet tone with a little noise, 16 kHz mono 16-bit.
std::vector<int16_t> oneSecondOfAudio() {
    std::vector<int16_t> samples(16000);
    quint32 noise = 12345;
    for (size_t i = 0; i < samples.size(); ++i) {
        noise = noise * 1103515245u + 12345u;
        const double tone = 3000.0 * std::sin(2.0 * std::numbers::pi * 440.0 * double(i) / 16000.0);
        samples[i] = int16_t(tone + double(int(noise >> 16) % 600 - 300));
    }
    return samples;
}

class WhisperCppEngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!makeInstalledWhisperEngine()) return;
        directory = new QTemporaryDir;
        modelPath = directory->filePath(QStringLiteral("ggml-tiny-random.bin"));
        ASSERT_TRUE(test::writeTinyRandomWhisperModel(modelPath));
    }
    static void TearDownTestSuite() {
        delete directory;
        directory = nullptr;
    }

    void SetUp() override {
        engine = makeInstalledWhisperEngine();
        if (!engine) GTEST_SKIP() << kSkipReason;
    }

    static inline QTemporaryDir* directory = nullptr;
    static inline QString modelPath;
    std::shared_ptr<WhisperEngine> engine;
};

TEST_F(WhisperCppEngineTest, LoadsRunsReadsSegmentsAndLanguageAndFrees) {
    EXPECT_FALSE(engine->printSystemInfo().trimmed().isEmpty());
    WhisperContextParams contextParams = engine->contextDefaultParams();
    contextParams.useGpu = false;
    WhisperContext* context = engine->initFromFileWithParams(modelPath, contextParams);
    ASSERT_NE(context, nullptr);

    WhisperFullParams params = engine->fullDefaultParams(WhisperSamplingStrategy::greedy);
    params.nThreads = 2;
    params.noTimestamps = true;
    params.printProgress = false;
    params.language = QByteArray("auto");
    std::vector<float> scaled;
    for (const int16_t sample : oneSecondOfAudio())
        scaled.push_back(float(sample) / 32767.0f);
    ASSERT_EQ(engine->full(context, params, scaled.data(), int(scaled.size()), {}), 0);

    ASSERT_EQ(engine->fullNSegments(context), 1);
    EXPECT_EQ(engine->fullGetSegmentText(context, 0).value_or(QString()).trimmed(),
              QLatin1String(test::kTinyModelWord));
    const float probability = engine->fullGetSegmentNoSpeechProb(context, 0);
    EXPECT_GE(probability, 0.0f);
    EXPECT_LT(probability, 0.8f);
    const int language = engine->fullLangId(context);
    EXPECT_GE(language, 0);
    EXPECT_TRUE(engine->langStr(language).has_value());
    EXPECT_TRUE(engine->langStrFull(language).has_value());
    EXPECT_FALSE(engine->langStr(100000).has_value());
    engine->free(context);
}

TEST_F(WhisperCppEngineTest, RuntimeTranscribesTwiceWithOneLoadedModel) {
    // Three processors, so two threads: the suite runs its tests side by side.
    EmbeddedWhisperRuntime runtime(engine, 3);
    EXPECT_TRUE(runtime.availability().isReady());
    const CapturedAudioClip clip = test::wavClip(oneSecondOfAudio());
    // Accelerated first (this build has no GPU back end, so the library stays on the processor),
    // then again with the same model; a prompt and a language code go through to the library.
    for (const auto& [language, prompt] : QList<std::pair<std::optional<QString>, std::optional<QString>>>{
             {std::nullopt, QStringLiteral("Quorvelle")}, {QStringLiteral(" EN "), std::nullopt}}) {
        EXPECT_EQ(test::runTask(runtime.transcribe(clip, LocalTranscriptionModelID::tinyMultilingual, modelPath,
                                                   language, LocalWhisperAccelerationMode::accelerated, prompt)),
                  QLatin1String(test::kTinyModelWord));
    }
}

TEST_F(WhisperCppEngineTest, AFileThatIsNoModelFailsToLoad) {
    const QString path = directory->filePath(QStringLiteral("ggml-base.bin"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EmbeddedWhisperRuntime runtime(engine);
    try {
        test::runTask(runtime.transcribe(test::wavClip(oneSecondOfAudio()), LocalTranscriptionModelID::baseMultilingual,
                                         path, QStringLiteral("en"), LocalWhisperAccelerationMode::cpu, std::nullopt));
        ADD_FAILURE() << "expected modelLoadFailed";
    } catch (const LocalTranscriptionRuntimeError& error) {
        EXPECT_EQ(error, LocalTranscriptionRuntimeError::modelLoadFailed(
                             localModelDescriptor(LocalTranscriptionModelID::baseMultilingual).title));
    }
}

}  // namespace
}  // namespace quorvelle
