#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Models/QuorvelleError.h"
#include "ScriptedWhisperEngine.h"
#include "Services/Audio/PCM16WAVDecoder.h"
#include "Services/Transcription/EmbeddedWhisperRuntime.h"
#include "Services/Transcription/LocalTranscriptionRuntimeError.h"
#include "Support/CancellationError.h"
#include "Support/TestEventLoop.h"
#include "TranscriptionTestSupport.h"

#include <gtest/gtest.h>

#include <QThread>

#include <limits>
#include <thread>

namespace quorvelle {
namespace {

using test::ScriptedRun;
using test::speech;
using Mode = LocalWhisperAccelerationMode;
using Model = LocalTranscriptionModelID;
using RuntimeError = LocalTranscriptionRuntimeError;

const QString kModelPath = QStringLiteral("/models/ggml-small.bin");
const QString kSmall = localModelDescriptor(Model::smallMultilingual).title;

struct Job {
    Model model = Model::smallMultilingual;
    Mode mode = Mode::cpu;
    std::optional<QString> language = std::nullopt;
    std::optional<QString> prompt = std::nullopt;
    QString path = kModelPath;
    CapturedAudioClip clip = test::wavClip({100, -100, 200});
    std::stop_token stop = {};
};

class RuntimeTest : public ::testing::Test {
protected:
    std::shared_ptr<test::ScriptedWhisperEngine> engine = std::make_shared<test::ScriptedWhisperEngine>();
    std::unique_ptr<EmbeddedWhisperRuntime> runtime =
        std::make_unique<EmbeddedWhisperRuntime>(engine, EmbeddedWhisperRuntime::threadCountFor(8));

    QCoro::Task<QString> start(const Job& job) {
        return runtime->transcribe(job.clip, job.model, job.path, job.language, job.mode, job.prompt, job.stop);
    }
    QString transcribe(const Job& job = {}) { return test::runTask(start(job)); }
    template <typename Error = RuntimeError>
    std::optional<Error> transcribeFailing(const Job& job = {}) {
        return test::failureOf<Error>(start(job));
    }
};

TEST_F(RuntimeTest, HandsTheEngineTheSamplesAndTheNormalisedLanguageAndPrompt) {
    using S = std::optional<QString>;
    const QList<std::tuple<S, S, QByteArray, std::optional<QByteArray>>> rows{
        {std::nullopt, std::nullopt, "auto", std::nullopt},
        {"  EN \n", "  Be brief.  ", "en", QByteArray("Be brief.")},
        {"", " \n\t ", "auto", std::nullopt},
        {"   ", QString(1000, 'p'), "auto", QByteArray(900, 'p')},
    };
    // No translation (English instead of the user's own words), no timestamps or progress output, no
    // text carried over from the last dictation; four threads, as more get slower on a busy machine.
    WhisperFullParams expected{.nThreads = 4,
                               .noTimestamps = true,
                               .printProgress = false,
                               .printTimestamps = false,
                               .noSpeechThold = 0.95f,
                               .language = {},
                               .initialPrompt = {}};
    for (const auto& [language, prompt, expectedLanguage, expectedPrompt] : rows) {
        EXPECT_EQ(transcribe({.language = language, .prompt = prompt}), QStringLiteral("ok"));
        expected.language = expectedLanguage;
        expected.initialPrompt = expectedPrompt;
        EXPECT_EQ(engine->recordedRuns.last().params, expected);
    }
    EXPECT_EQ(EmbeddedWhisperRuntime::threadCountFor(3), 3);
    EXPECT_EQ(EmbeddedWhisperRuntime::threadCountFor(0), 1);
}

TEST_F(RuntimeTest, LoadsAModelOnceWhileModelPathAndModeStayFallsBackRetriesAFailedLoadAndNeedsAnEngine) {
    transcribe(), transcribe();
    EXPECT_EQ(engine->loads.size(), 1);
    transcribe({.mode = Mode::accelerated});
    transcribe({.model = Model::baseMultilingual, .mode = Mode::accelerated});
    transcribe({.model = Model::baseMultilingual, .mode = Mode::accelerated, .path = "/elsewhere/ggml-base.bin"});
    const QList<test::RecordedLoad> loads = engine->loads;
    ASSERT_EQ(loads.size(), 4);
    EXPECT_EQ(engine->freedSerials, (QList<int>{1, 2, 3}));
    EXPECT_EQ(loads[0].params, (WhisperContextParams{false, true}));
    EXPECT_EQ(loads[1].params, (WhisperContextParams{true, true}));
    EXPECT_EQ(loads[3].path, QStringLiteral("/elsewhere/ggml-base.bin"));
    EXPECT_EQ(engine->recordedRuns[1].contextSerial, 1);
    EXPECT_EQ(engine->recordedRuns[4].contextSerial, 4);
    runtime.reset();
    EXPECT_EQ(engine->freedSerials, (QList<int>{1, 2, 3, 4}));

    runtime = std::make_unique<EmbeddedWhisperRuntime>(engine, 8);
    engine->loadSucceeds = [](const WhisperContextParams& params) { return !params.useGpu; };
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(transcribe({.mode = Mode::accelerated}), QStringLiteral("ok"));
    ASSERT_EQ(engine->loads.size(), 6);
    EXPECT_EQ(engine->loads[4].params, (WhisperContextParams{true, true}));
    EXPECT_EQ(engine->loads[5].params, (WhisperContextParams{false, true}));

    engine->loadSucceeds = [](const WhisperContextParams&) { return false; };
    const QString title = localModelDescriptor(Model::largeV3).title;
    EXPECT_EQ(transcribeFailing({.model = Model::largeV3, .mode = Mode::accelerated}),
              RuntimeError::modelLoadFailed(title));
    EXPECT_EQ(engine->loads.size(), 8);  // accelerated, then the processor
    EXPECT_EQ(transcribeFailing({.model = Model::largeV3}), RuntimeError::modelLoadFailed(title));
    EXPECT_EQ(engine->loads.size(), 9);  // tried again, and no second try on the processor
    EXPECT_EQ(engine->recordedRuns.size(), 7);

    EXPECT_EQ(runtime->availability(), LocalRuntimeAvailability::ready());
    engine->systemInfo = QStringLiteral(" \n\t");
    EXPECT_EQ(runtime->availability(), LocalRuntimeAvailability::unavailable("embedded engine bootstrap basarisiz"));
    runtime = std::make_unique<EmbeddedWhisperRuntime>(nullptr);
    EXPECT_EQ(runtime->availability(), LocalRuntimeAvailability::unavailable("local runtime bundle eksik"));
    EXPECT_EQ(transcribeFailing(), RuntimeError::runtimeUnavailable("local runtime bundle eksik"));
    EXPECT_EQ(engine->loads.size(), 9);
}

TEST_F(RuntimeTest, SegmentsGiveTextSilenceOrAnEmptyResultAndFailedRunsOrClipsFail) {
    engine->shortCodes = {{3, "de"}, {0, "en"}};
    engine->fullNames = {{3, "german"}, {0, ""}, {5, "german"}};
    engine->runs.append({0, {{"  Hallo  ", 0.1f}, {std::nullopt, 0.95f}, {"schöne \n  Welt", 0.3f}}, 3});
    EXPECT_EQ(transcribe(), QStringLiteral("Hallo schöne Welt"));

    using C = LocalTranscriptionRuntimeErrorCase;
    struct Row {
        ScriptedRun run;
        C errorCase;
        std::optional<QString> label;
    };
    const QList<Row> rows{
        {{0, {{" ", 0.9f}, {std::nullopt, 0.85f}}, 3}, C::noSpeechDetected, "de (german)"},
        {{0, {{"", 0.9f}, {"", 0.5f}}, 0}, C::emptyTranscript, "en"},
        {{0, {{"", std::numeric_limits<float>::quiet_NaN()}}, 5}, C::emptyTranscript, "german"},
        {{0, {}, 42}, C::noSpeechDetected, "id 42"},
        {{0, {}, -1}, C::noSpeechDetected, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.run.languageID);
        engine->runs.append(row.run);
        const auto error = transcribeFailing();
        ASSERT_TRUE(error && error->diagnostics());
        EXPECT_EQ(error->errorCase(), row.errorCase);
        EXPECT_EQ(error->modelTitle(), kSmall);
        EXPECT_EQ(error->diagnostics()->segmentCount, row.run.segments.size());
        EXPECT_EQ(error->diagnostics()->detectedLanguageLabel, row.label);
    }

    engine->runs.append(ScriptedRun{-1, {}, -1});
    EXPECT_EQ(transcribeFailing(), RuntimeError::transcriptionFailed(kSmall));
    EXPECT_EQ(transcribe(), QStringLiteral("ok"));
    EXPECT_EQ(engine->loads.size(), 1);

    EXPECT_EQ(transcribeFailing<QuorvelleError>({.clip = test::wavClip({})}),
              QuorvelleError(QuorvelleErrorCase::noSpeechDetected));
    CapturedAudioClip notWav = test::wavClip({1, 2, 3});
    notWav.data.replace(0, 4, "RIFX");
    EXPECT_EQ(transcribeFailing<QuorvelleError>({.clip = notWav}),
              QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure));
    EXPECT_EQ(engine->recordedRuns.size(), 8);
}

QCoro::Task<QString> dictation(QCoro::Task<QString> task, QList<QThread*>& resumedOn) {
    QString text = co_await std::move(task);
    resumedOn.append(QThread::currentThread());
    co_return text;
}

TEST_F(RuntimeTest, RunsOneJobAtATimeResumesEachCallerOnItsThreadAndAStopAbortsOrSkipsAJob) {
    engine->gateRuns = true;
    engine->runs = {speech(QStringLiteral("text 1")), speech(QStringLiteral("text 2"))};
    QList<QThread*> resumedOn;
    std::stop_source running, queued;
    QCoro::Task<QString> first = dictation(start({.clip = test::wavClip({1})}), resumedOn);
    QCoro::Task<QString> second = dictation(start({.clip = test::wavClip({2})}), resumedOn);
    QCoro::Task<QString> stopped = start({.stop = running.get_token()});
    QCoro::Task<QString> skipped = start({.stop = queued.get_token()});

    engine->entered.acquire();  // the first job is inside the engine; only when it leaves does the second start
    EXPECT_EQ(engine->recordedRuns.size(), 1);
    for (int job = 0; job < 2; ++job)
        engine->proceed.release(), engine->entered.acquire();
    running.request_stop(), queued.request_stop();
    engine->proceed.release();

    EXPECT_EQ(test::runTask(std::move(first)), QStringLiteral("text 1"));
    EXPECT_EQ(test::runTask(std::move(second)), QStringLiteral("text 2"));
    EXPECT_THROW(test::runTask(std::move(stopped)), CancellationError);
    EXPECT_THROW(test::runTask(std::move(skipped)), CancellationError);
    EXPECT_EQ(engine->abortedRuns, 1);
    EXPECT_EQ(engine->recordedRuns.size(), 3);
    EXPECT_EQ(engine->recordedRuns[1].samples, PCM16WAVDecoder::decode(test::wavClip({2}).data));
    EXPECT_EQ(engine->maxConcurrentRuns, 1);
    EXPECT_EQ(resumedOn, (QList<QThread*>{QThread::currentThread(), QThread::currentThread()}));
    EXPECT_EQ(engine->loads.size(), 1);

    // Released with one job inside the engine and one queued: both finish, then the model is freed.
    engine->runs = {speech(QStringLiteral("inside")), speech(QStringLiteral("queued"))};
    QCoro::Task<QString> inside = start({});
    QCoro::Task<QString> waiting = start({});
    engine->entered.acquire();
    std::thread letThrough([&] { engine->proceed.release(), engine->entered.acquire(), engine->proceed.release(); });
    runtime.reset();
    letThrough.join();
    EXPECT_EQ(engine->freedSerials, QList<int>{1});
    EXPECT_EQ(test::runTask(std::move(inside)), QStringLiteral("inside"));
    EXPECT_EQ(test::runTask(std::move(waiting)), QStringLiteral("queued"));
}

}  // namespace
}  // namespace quorvelle
