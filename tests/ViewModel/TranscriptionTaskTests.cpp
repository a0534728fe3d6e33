#include "HeldCalls.h"
#include "Services/Delivery/ClipboardWriteError.h"
#include "Services/Delivery/TextInsertionError.h"
#include "ViewModel/TranscriptPostProcessing.h"
#include "ViewModelTestSupport.h"

#include <stdexcept>

namespace quorvelle::test {
namespace {

TEST(TranscriptionTask, CleanupRunsBeforeSnippetsAndAnExpansionIsNeverRewritten) {
    TranscriptPostProcessingSettings settings;
    settings.snippets = {VoiceSnippet{QUuid::createUuid(), u"my address"_qs, u"1 Main Street"_qs, false}};
    settings.dictionaryEntries = {DictionaryReplacementEntry{QUuid::createUuid(), u"main"_qs, u"MAIN"_qs, {}, {}}};
    using M = TranscriptionPostProcessingMode;
    const std::tuple<M, bool, const char*, const char*> rows[] = {
        {M::default_, true, "um my address", "1 Main Street"},
        {M::off, true, "um my address", "um my address"},
        {M::off, true, "the main door", "the MAIN door"},
    };
    for (const auto& [mode, dictionary, spoken, delivered] : rows) {
        settings.mode = mode;
        settings.isDictionaryReplacementEnabled = dictionary;
        EXPECT_EQ(postProcessTranscript(QString::fromLatin1(spoken), settings), QLatin1String(delivered)) << spoken;
    }
}

TEST(TranscriptionTask, ARateLimitHoldsTheNextRecordingBack) {
    DictationRig rig;
    rig.fakes.transcriber->answer.pushFailure(QuorvelleError::rateLimitedRetryAfter(0));
    rig.dictate();
    const QString wait = QStringLiteral("Çok fazla istek gönderildi. 1 saniye sonra tekrar deneyin.");
    EXPECT_EQ(rig.state(), SessionState::error(QuorvelleError::rateLimitedRetryAfter(0)));
    EXPECT_EQ(rig.message(), wait);
    EXPECT_EQ(rig.codes().first(), QStringLiteral("runtime.error.rate_limited"));
    ASSERT_EQ(rig.fakes.telemetry->recorded.size(), 1);
    EXPECT_FALSE(rig.fakes.telemetry->recorded.first().wasSuccessful);

    const QStringList codes = rig.codes();
    rig.press();
    EXPECT_EQ(rig.state(), SessionState::error(QuorvelleError(QuorvelleErrorCase::rateLimited)));
    EXPECT_EQ(rig.message(), wait);
    EXPECT_EQ(rig.codes(), codes);

    rig.fakes.clock.advance(1.5);
    rig.press();
    EXPECT_EQ(rig.state(), SessionState::recording());
}

// An engine that keeps going after it was told to stop.
class StubbornTranscriber final : public Transcribing {
public:
    HeldCalls held;
    QStringList answers;

    QCoro::Task<QString> transcribe(CapturedAudioClip, std::optional<QString>, std::optional<QString>,
                                    std::stop_token) override {
        const QString answer = answers.takeFirst();
        co_await held.pass({});
        co_return answer;
    }
};

TEST(TranscriptionTask, AnOldTranscriptNeverReachesANewerSession) {
    auto engine = std::make_shared<StubbornTranscriber>();
    engine->held.setHolding(true);
    engine->answers = {QStringLiteral("old words"), QStringLiteral("new words")};
    DictationRig rig([&](FakeBootstrap&, AppBootstrap& services) { services.transcriber = engine; });
    rig.dictate();
    rig.session().applyRuntimeReadiness(false);
    rig.session().applyRuntimeReadiness(true);
    rig.dictate();
    ASSERT_EQ(rig.state(), SessionState::uploading());

    engine->held.releaseOldest();
    settle();
    EXPECT_EQ(rig.state(), SessionState::uploading());
    EXPECT_TRUE(rig.fakes.history->entries.isEmpty());
    EXPECT_TRUE(rig.session().transcriptionTask().isRunning());

    engine->held.releaseAll();
    EXPECT_EQ(rig.state(), SessionState::success());
    ASSERT_EQ(rig.fakes.history->entries.size(), 1);
    EXPECT_EQ(rig.fakes.history->entries.first().transcript, QStringLiteral("new words"));
    EXPECT_TRUE(rig.session().transcriptionTask().isEmpty());
}

TEST(TranscriptionTask, AFailedDeliveryCountsOnceInTheLatencyRecordAndTheLog) {
    const std::pair<std::function<void(FakeBootstrap&)>, const char*> rows[] = {
        {[](FakeBootstrap& f) {  // the clipboard refuses the fallback copy
             f.textInserter->insertAnswer.pushFailure(TextInsertionError(TextInsertionError::Case::writeFailed));
             f.pasteboard->writeOutcome.failAlways(ClipboardWriteError(ClipboardWriteError::Case::writeFailed));
         },
         "runtime.fallback.clipboard_failed"},
        {[](FakeBootstrap& f) { f.textInserter->insertAnswer.pushFailure(std::runtime_error("bus gone")); },
         "runtime.error.unexpected"},
    };
    for (const auto& [breakDelivery, event] : rows) {
        DictationRig rig;
        breakDelivery(rig.fakes);
        rig.dictate();
        EXPECT_EQ(rig.state(), SessionState::error(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure)));
        ASSERT_EQ(rig.fakes.telemetry->recorded.size(), 1) << event;
        EXPECT_TRUE(rig.fakes.telemetry->recorded.first().wasSuccessful);
        QStringList errors;
        for (const SanitizedDiagnosticsEvent& logged : rig.fakes.diagnostics->stored)
            if (logged.level == DiagnosticsEventLevel::error) errors << logged.code;
        EXPECT_EQ(errors, QStringList{QString::fromLatin1(event)});
    }
}

}  // namespace
}  // namespace quorvelle::test
