#include "DictationRig.h"
#include "HeldCalls.h"
#include "Services/Delivery/ClipboardWriteError.h"
#include "Services/Delivery/TextInsertionError.h"
#include "ViewModel/TranscriptPostProcessing.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quorvelle::test {
namespace {

TEST(TranscriptionTask, CleanupRunsBeforeSnippetsAndAnExpansionIsNeverRewritten) {
    TranscriptPostProcessingSettings settings;
    settings.snippets = {
        VoiceSnippet{QUuid::createUuid(), QStringLiteral("my address"), QStringLiteral("1 Main Street"), false}};
    settings.dictionaryEntries = {
        DictionaryReplacementEntry{QUuid::createUuid(), QStringLiteral("main"), QStringLiteral("MAIN"), {}, {}}};
    struct Row {
        TranscriptionPostProcessingMode mode;
        bool dictionary;
        QString spoken;
        QString delivered;
    };
    using M = TranscriptionPostProcessingMode;
    const QList<Row> rows{
        {M::default_, true, QStringLiteral("um my address"), QStringLiteral("1 Main Street")},
        {M::off, true, QStringLiteral("um my address"), QStringLiteral("um my address")},
        {M::off, true, QStringLiteral("the main door"), QStringLiteral("the MAIN door")},
        {M::off, false, QStringLiteral("the main door"), QStringLiteral("the main door")},
    };
    for (const Row& row : rows) {
        settings.mode = row.mode;
        settings.isDictionaryReplacementEnabled = row.dictionary;
        EXPECT_EQ(postProcessTranscript(row.spoken, settings), row.delivered) << row.spoken.toStdString();
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
    rig.settle();
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
    struct Row {
        const char* label;
        std::function<void(FakeBootstrap&)> breakDelivery;
        QString event;
    };
    const QList<Row> rows{
        {"clipboard refuses the fallback copy",
         [](FakeBootstrap& f) {
             f.textInserter->insertAnswer.pushFailure(TextInsertionError(TextInsertionError::Case::writeFailed));
             f.inspector->answer.setFallback(writableTextField());
             f.pasteboard->writeOutcome.failAlways(ClipboardWriteError(ClipboardWriteError::Case::writeFailed));
         },
         QStringLiteral("runtime.fallback.clipboard_failed")},
        {"inserter fails in an unforeseen way",
         [](FakeBootstrap& f) { f.textInserter->insertAnswer.pushFailure(std::runtime_error("bus gone")); },
         QStringLiteral("runtime.error.unexpected")},
    };
    for (const Row& row : rows) {
        DictationRig rig;
        row.breakDelivery(rig.fakes);
        rig.dictate();
        EXPECT_EQ(rig.state(), SessionState::error(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure)))
            << row.label;
        ASSERT_EQ(rig.fakes.telemetry->recorded.size(), 1) << row.label;
        EXPECT_TRUE(rig.fakes.telemetry->recorded.first().wasSuccessful) << row.label;
        QStringList errors;
        for (const SanitizedDiagnosticsEvent& event : rig.fakes.diagnostics->stored)
            if (event.level == DiagnosticsEventLevel::error) errors << event.code;
        EXPECT_EQ(errors, QStringList{row.event}) << row.label;
    }
}

}  // namespace
}  // namespace quorvelle::test
