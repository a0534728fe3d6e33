#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Models/QuorvelleError.h"
#include "ScriptedWhisperEngine.h"
#include "Services/Audio/PCM16WAVDecoder.h"
#include "Services/Transcription/EmbeddedWhisperRuntime.h"
#include "Services/Transcription/LocalTranscriptAssembly.h"
#include "Services/Transcription/LocalTranscriptionRuntimeError.h"
#include "Support/CancellationError.h"
#include "Support/TestEventLoop.h"
#include "TranscriptionTestSupport.h"

#include <gtest/gtest.h>

#include <QCoroTask>
#include <QThread>

#include <limits>

namespace quorvelle {
namespace {

using test::ScriptedRun;
using test::ScriptedWhisperEngine;
using Mode = LocalWhisperAccelerationMode;
using Model = LocalTranscriptionModelID;

const QString kModelPath = QStringLiteral("/models/ggml-small.bin");

ScriptedRun speech(const QString& text) {
    return ScriptedRun{0, {{text, 0.1f}}, 0};
}

class RuntimeTest : public ::testing::Test {
protected:
    std::shared_ptr<ScriptedWhisperEngine> engine = std::make_shared<ScriptedWhisperEngine>();
    std::unique_ptr<EmbeddedWhisperRuntime> runtime;

    void SetUp() override { makeRuntime(8); }

    void makeRuntime(int processors) {
        runtime.reset();
        runtime = std::make_unique<EmbeddedWhisperRuntime>(engine, processors);
    }

    QString transcribe(Model model = Model::smallMultilingual, Mode mode = Mode::cpu,
                       std::optional<QString> language = std::nullopt, std::optional<QString> prompt = std::nullopt,
                       const QString& path = kModelPath, CapturedAudioClip clip = test::wavClip({100, -100, 200})) {
        return test::runTask(runtime->transcribe(clip, model, path, language, mode, prompt));
    }

    template <typename Error>
    std::optional<Error> transcribeFailing(Model model = Model::smallMultilingual, Mode mode = Mode::cpu,
                                           CapturedAudioClip clip = test::wavClip({100, -100, 200})) {
        return test::failureOf<Error>(runtime->transcribe(clip, model, kModelPath, std::nullopt, mode, std::nullopt));
    }
};

TEST_F(RuntimeTest, HandsTheEngineTheNormalisedLanguageAndPrompt) {
    struct Case {
        std::optional<QString> language;
        std::optional<QString> prompt;
        QByteArray expectedLanguage;
        std::optional<QByteArray> expectedPrompt;
    };
    const QString longPrompt = QString(1000, QLatin1Char('p'));
    const QList<Case> cases{
        {std::nullopt, std::nullopt, "auto", std::nullopt},
        {QStringLiteral("  EN \n"), QStringLiteral("  Be brief.  "), "en", QByteArray("Be brief.")},
        {QStringLiteral(""), QStringLiteral(" \n\t "), "auto", std::nullopt},
        {QStringLiteral("   "), longPrompt, "auto", QString(900, QLatin1Char('p')).toUtf8()},
    };
    for (const Case& c : cases) {
        engine->runs.append(speech(QStringLiteral("ok")));
        EXPECT_EQ(transcribe(Model::smallMultilingual, Mode::cpu, c.language, c.prompt), QStringLiteral("ok"));
    }
    const QList<test::RecordedRun> runs = engine->recordedRuns;
    ASSERT_EQ(runs.size(), cases.size());
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const WhisperFullParams& p = runs[i].params;
        SCOPED_TRACE(i);
        EXPECT_EQ(p.language, cases[i].expectedLanguage);
        EXPECT_EQ(p.initialPrompt, cases[i].expectedPrompt);
        // A translation would hand the user English instead of their own words.
        EXPECT_FALSE(p.translate);
    }
    EXPECT_EQ(runs[0].samples, PCM16WAVDecoder::decode(test::wavClip({100, -100, 200}).data));
}

TEST_F(RuntimeTest, LeavesOneProcessorFreeButUsesAtLeastOneThread) {
    for (const auto& [processors, threads] : QList<std::pair<int, int>>{{8, 7}, {2, 1}, {1, 1}, {0, 1}}) {
        makeRuntime(processors);
        engine->runs.append(speech(QStringLiteral("ok")));
        transcribe();
        EXPECT_EQ(engine->recordedRuns.last().params.nThreads, threads) << processors;
    }
}

TEST_F(RuntimeTest, ReusesTheLoadedModelOnlyWhileModelPathAndModeStayTheSame) {
    engine->runFromSamples = [](const std::vector<float>&) { return speech(QStringLiteral("ok")); };
    transcribe(Model::smallMultilingual, Mode::cpu);
    transcribe(Model::smallMultilingual, Mode::cpu);
    EXPECT_EQ(engine->loads.size(), 1);

    transcribe(Model::smallMultilingual, Mode::accelerated);  // mode changed
    transcribe(Model::baseMultilingual, Mode::accelerated);   // model changed
    transcribe(Model::baseMultilingual, Mode::accelerated, std::nullopt, std::nullopt,
               QStringLiteral("/elsewhere/ggml-base.bin"));  // path changed
    const QList<test::RecordedLoad> loads = engine->loads;
    ASSERT_EQ(loads.size(), 4);
    EXPECT_EQ(engine->freedSerials, (QList<int>{1, 2, 3}));
    EXPECT_EQ(loads[0].params, (WhisperContextParams{false, false}));
    EXPECT_EQ(loads[1].params, (WhisperContextParams{true, false}));
    EXPECT_EQ(loads[3].path, QStringLiteral("/elsewhere/ggml-base.bin"));
    const QList<test::RecordedRun> runs = engine->recordedRuns;
    EXPECT_EQ(runs[1].contextSerial, 1);
    EXPECT_EQ(runs[4].contextSerial, 4);
}

TEST_F(RuntimeTest, FallsBackToTheProcessorAndKeepsTheRequestedModeForReuse) {
    engine->loadSucceeds = [](const QString&, const WhisperContextParams& params) { return !params.useGpu; };
    engine->runFromSamples = [](const std::vector<float>&) { return speech(QStringLiteral("ok")); };
    EXPECT_EQ(transcribe(Model::smallMultilingual, Mode::accelerated), QStringLiteral("ok"));
    EXPECT_EQ(transcribe(Model::smallMultilingual, Mode::accelerated), QStringLiteral("ok"));
    const QList<test::RecordedLoad> loads = engine->loads;
    ASSERT_EQ(loads.size(), 2);
    EXPECT_EQ(loads[0].params, (WhisperContextParams{true, false}));
    EXPECT_EQ(loads[1].params, (WhisperContextParams{false, false}));
}

TEST_F(RuntimeTest, AFailedLoadLeavesNoModelAndIsTriedAgainNextTime) {
    engine->loadSucceeds = [](const QString&, const WhisperContextParams&) { return false; };
    const QString title = localModelDescriptor(Model::largeV3).title;
    EXPECT_EQ(transcribeFailing<LocalTranscriptionRuntimeError>(Model::largeV3, Mode::accelerated),
              LocalTranscriptionRuntimeError::modelLoadFailed(title));
    EXPECT_EQ(engine->loads.size(), 2);  // accelerated, then the processor
    EXPECT_EQ(transcribeFailing<LocalTranscriptionRuntimeError>(Model::largeV3, Mode::cpu),
              LocalTranscriptionRuntimeError::modelLoadFailed(title));
    EXPECT_EQ(engine->loads.size(), 3);  // no second try on the processor
    EXPECT_TRUE(engine->recordedRuns.isEmpty());
}

TEST_F(RuntimeTest, FailuresOfTheRunAndOfTheClip) {
    const QString title = localModelDescriptor(Model::smallMultilingual).title;

    engine->runs.append(ScriptedRun{-1, {}, -1});
    EXPECT_EQ(transcribeFailing<LocalTranscriptionRuntimeError>(),
              LocalTranscriptionRuntimeError::transcriptionFailed(title));
    // The model stays loaded for the next call.
    engine->runs.append(speech(QStringLiteral("after")));
    EXPECT_EQ(transcribe(), QStringLiteral("after"));
    EXPECT_EQ(engine->loads.size(), 1);

    // A clip without samples, or one that is no WAV file, never reaches the engine.
    EXPECT_EQ(transcribeFailing<QuorvelleError>(Model::smallMultilingual, Mode::cpu, test::wavClip({})),
              QuorvelleError(QuorvelleErrorCase::noSpeechDetected));
    CapturedAudioClip notWav = test::wavClip({1, 2, 3});
    notWav.data.replace(0, 4, "RIFX");
    EXPECT_EQ(transcribeFailing<QuorvelleError>(Model::smallMultilingual, Mode::cpu, notWav),
              QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure));
    EXPECT_EQ(engine->recordedRuns.size(), 2);
}

TEST_F(RuntimeTest, PassesTheEnginesSegmentsAndLanguageToTheAssembly) {
    engine->shortCodes.insert(3, QStringLiteral("de"));
    engine->fullNames.insert(3, QStringLiteral("german"));
    engine->runs.append(ScriptedRun{
        0, {{QStringLiteral("  Hallo  "), 0.1f}, {std::nullopt, 0.2f}, {QStringLiteral("schöne \n  Welt"), 0.3f}}, 3});
    EXPECT_EQ(transcribe(), QStringLiteral("Hallo schöne Welt"));

    engine->runs.append(ScriptedRun{0, {{QStringLiteral(" "), 0.9f}, {std::nullopt, 0.85f}}, 3});
    const auto silence = transcribeFailing<LocalTranscriptionRuntimeError>();
    ASSERT_TRUE(silence);
    EXPECT_EQ(silence->errorCase(), LocalTranscriptionRuntimeErrorCase::noSpeechDetected);
    ASSERT_TRUE(silence->diagnostics());
    EXPECT_EQ(silence->diagnostics()->detectedLanguageLabel, QStringLiteral("de (german)"));
}

TEST(LocalTranscriptAssembly, DecidesBetweenTextSilenceAndAnEmptyResult) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        QList<LocalDecodedSegment> segments;
        int languageID;
        std::optional<QString> text;  // none: the error below
        LocalTranscriptionRuntimeErrorCase errorCase;
        LocalTranscriptionDiagnostics diagnostics;
    };
    using C = LocalTranscriptionRuntimeErrorCase;
    const QList<Case> cases{
        {{{QStringLiteral("  padded "), 0.1}, {QString(), 0.95}, {QStringLiteral("two  words"), 0.2}},
         0,
         QStringLiteral("padded two words"),
         C::noSpeechDetected,
         {}},
        {{{QString(), 0.9}, {QString(), 0.85}},
         0,
         std::nullopt,
         C::noSpeechDetected,
         {2, 0.9, 0, QStringLiteral("en")}},
        {{{QString(), 0.9}, {QString(), 0.5}}, 0, std::nullopt, C::emptyTranscript, {2, 0.9, 0, QStringLiteral("en")}},
        {{{QString(), nan}}, -1, std::nullopt, C::emptyTranscript, {1, nan, std::nullopt, std::nullopt}},
        {{}, -1, std::nullopt, C::noSpeechDetected, {0, std::nullopt, std::nullopt, std::nullopt}},
    };
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        const std::optional<QString> label = c.languageID >= 0 ? std::optional(QStringLiteral("en")) : std::nullopt;
        if (c.text) {
            EXPECT_EQ(assembleLocalTranscript(c.segments, c.languageID, label, QStringLiteral("Small")), *c.text);
            continue;
        }
        try {
            assembleLocalTranscript(c.segments, c.languageID, label, QStringLiteral("Small"));
            ADD_FAILURE() << "expected an error";
        } catch (const LocalTranscriptionRuntimeError& error) {
            EXPECT_EQ(error.errorCase(), c.errorCase);
            EXPECT_EQ(error.modelTitle(), QStringLiteral("Small"));
            ASSERT_TRUE(error.diagnostics());
            EXPECT_EQ(error.diagnostics()->segmentCount, c.diagnostics.segmentCount);
            EXPECT_EQ(error.diagnostics()->detectedLanguageLabel, c.diagnostics.detectedLanguageLabel);
        }
    }
}

TEST(LocalTranscriptAssembly, LabelsTheDetectedLanguage) {
    using S = std::optional<QString>;
    struct Case {
        int id;
        S code;
        S full;
        S label;
    };
    const QList<Case> cases{
        {0, QStringLiteral("en"), QString(), QStringLiteral("en")},
        {5, std::nullopt, QStringLiteral("german"), QStringLiteral("german")},
        {42, std::nullopt, std::nullopt, QStringLiteral("id 42")},
        {-1, QStringLiteral("en"), QStringLiteral("english"), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(localLanguageLabel(c.id, c.code, c.full), c.label) << c.id;
}

// One dictation that notes the thread it resumed on.
QCoro::Task<QString> dictation(EmbeddedWhisperRuntime& runtime, int16_t marker, QList<QThread*>& resumedOn) {
    const CapturedAudioClip clip = test::wavClip(std::vector<int16_t>(1, marker));
    QCoro::Task<QString> task =
        runtime.transcribe(clip, Model::smallMultilingual, kModelPath, std::nullopt, Mode::cpu, std::nullopt);
    QString text = co_await task;
    resumedOn.append(QThread::currentThread());
    co_return text;
}

TEST_F(RuntimeTest, RunsOneJobAtATimeAndResumesEachCallerOnItsOwnThread) {
    engine->gateRuns = true;
    engine->runFromSamples = [](const std::vector<float>& samples) {
        return speech(QStringLiteral("text %1").arg(qRound(samples.front() * 32767)));
    };
    QThread* const callerThread = QThread::currentThread();
    QList<QThread*> resumedOn;
    QCoro::Task<QString> first = dictation(*runtime, 1, resumedOn);
    QCoro::Task<QString> second = dictation(*runtime, 2, resumedOn);

    engine->entered.acquire();  // the first job is inside the engine
    EXPECT_EQ(engine->recordedRuns.size(), 1);
    engine->proceed.release();
    engine->entered.acquire();  // only now does the second one start
    engine->proceed.release();

    EXPECT_EQ(test::runTask(std::move(first)), QStringLiteral("text 1"));
    EXPECT_EQ(test::runTask(std::move(second)), QStringLiteral("text 2"));
    EXPECT_EQ(engine->maxConcurrentRuns, 1);
    EXPECT_EQ(resumedOn, (QList<QThread*>{callerThread, callerThread}));
    EXPECT_EQ(engine->loads.size(), 1);
}

TEST_F(RuntimeTest, AStopAbortsTheRunningJobAndSkipsAQueuedOne) {
    engine->gateRuns = true;
    engine->runs = {speech(QStringLiteral("never delivered")), speech(QStringLiteral("never run"))};
    std::stop_source running;
    std::stop_source queued;
    const auto clip = test::wavClip({100, -100, 200});
    QCoro::Task<QString> first = runtime->transcribe(clip, Model::smallMultilingual, kModelPath, std::nullopt,
                                                     Mode::cpu, std::nullopt, running.get_token());
    QCoro::Task<QString> second = runtime->transcribe(clip, Model::smallMultilingual, kModelPath, std::nullopt,
                                                      Mode::cpu, std::nullopt, queued.get_token());
    engine->entered.acquire();
    running.request_stop();
    queued.request_stop();
    engine->proceed.release();

    EXPECT_THROW(test::runTask(std::move(first)), CancellationError);
    EXPECT_THROW(test::runTask(std::move(second)), CancellationError);
    // The engine was told to stop through its abort callback, and the queued job never reached it.
    EXPECT_EQ(engine->abortedRuns, 1);
    EXPECT_EQ(engine->recordedRuns.size(), 1);
}

TEST_F(RuntimeTest, ReleasingTheRuntimeFreesTheLoadedModel) {
    engine->runs.append(speech(QStringLiteral("ok")));
    transcribe();
    EXPECT_TRUE(engine->freedSerials.isEmpty());
    runtime.reset();
    EXPECT_EQ(engine->freedSerials, (QList<int>{1}));
}

TEST(RuntimeAvailability, DependsOnTheEngineAndItsSystemReport) {
    EmbeddedWhisperRuntime missing(nullptr);
    EXPECT_EQ(missing.availability(),
              LocalRuntimeAvailability::unavailable(QStringLiteral("local runtime bundle eksik")));
    try {
        test::runTask(missing.transcribe(test::wavClip({1}), Model::tinyMultilingual, kModelPath, std::nullopt,
                                         Mode::cpu, std::nullopt));
        ADD_FAILURE() << "expected runtimeUnavailable";
    } catch (const LocalTranscriptionRuntimeError& error) {
        EXPECT_EQ(error,
                  LocalTranscriptionRuntimeError::runtimeUnavailable(QStringLiteral("local runtime bundle eksik")));
    }

    auto engine = std::make_shared<ScriptedWhisperEngine>();
    EmbeddedWhisperRuntime runtime(engine);
    EXPECT_EQ(runtime.availability(), LocalRuntimeAvailability::ready());
    engine->systemInfo = QStringLiteral(" \n\t");
    EXPECT_EQ(runtime.availability(),
              LocalRuntimeAvailability::unavailable(QStringLiteral("embedded engine bootstrap basarisiz")));
    EXPECT_TRUE(engine->loads.isEmpty());
}

}  // namespace
}  // namespace quorvelle
