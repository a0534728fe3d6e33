#include "ViewModel/SessionCoordinator.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvelle {
namespace {

using H = SessionCoordinator;
const QuorvelleError kNoSpeech(QuorvelleErrorCase::noSpeechDetected);
const QuorvelleError kTimeout(QuorvelleErrorCase::requestTimedOut);

// A fresh holder put into a state through allowed transitions, counting what it publishes after that.
struct Probe {
    H holder;
    QList<SessionState> published;
    CurrentValueSubject<SessionState>::Token token;

    explicit Probe(const SessionState& start) {
        using Kind = SessionState::Kind;
        const Kind kind = start.kind();
        if (kind == Kind::blocked) holder.block(*start.blockReason());
        if (kind == Kind::error) holder.fail(*start.error());
        if (kind >= Kind::recording) holder.beginRecording();  // the road's states follow recording in order
        if (kind > Kind::recording) holder.beginUploading();
        if (kind == Kind::injecting) holder.beginInjecting();
        if (kind == Kind::fallbackCopied) holder.markFallbackCopied();
        if (kind == Kind::success) holder.markSuccess();
        token = holder.statePublisher().subscribe([this](const SessionState& state) { published.append(state); });
        EXPECT_EQ(published, QList{start}) << "a new subscriber gets the current state at once";
        published.clear();
    }
    ~Probe() { holder.statePublisher().unsubscribe(token); }
};

TEST(SessionCoordinator, AllowedTransitionsPublishOnceAndOthersDoNothing) {
    const auto recording = SessionState::recording(), uploading = SessionState::uploading();
    const auto injecting = SessionState::injecting(), idle = SessionState::idle();
    const auto success = SessionState::success(), copied = SessionState::fallbackCopied();
    const auto secureField = SessionState::blocked(SessionBlockReason::secureField);
    const auto noTarget = SessionState::blocked(SessionBlockReason::noWritableTarget);
    const auto noSpeech = SessionState::error(kNoSpeech), timeout = SessionState::error(kTimeout);
    const std::function<void(H&)> block = [](H& h) { h.block(SessionBlockReason::secureField); };
    const std::function<void(H&)> fail = [](H& h) { h.fail(kTimeout); };
    const struct Row {
        const char* label;
        SessionState from;
        std::function<void(H&)> operation;
        std::optional<SessionState> to;  // none: ignored, nothing published
    } rows[] = {
        {"record from idle", idle, &H::beginRecording, recording},
        {"record from blocked", noTarget, &H::beginRecording, recording},
        {"record from success", success, &H::beginRecording, recording},
        {"block while recording", recording, block, std::nullopt},
        {"block after success", success, block, secureField},
        {"block again when blocked", secureField, block, secureField},
        {"upload from recording", recording, &H::beginUploading, uploading},
        {"upload from idle", idle, &H::beginUploading, std::nullopt},
        {"inject from recording", recording, &H::beginInjecting, std::nullopt},
        {"success straight from uploading", uploading, &H::markSuccess, success},
        {"success from error", noSpeech, &H::markSuccess, std::nullopt},
        {"fallback from injecting", injecting, &H::markFallbackCopied, copied},
        {"fallback from recording", recording, &H::markFallbackCopied, std::nullopt},
        {"cancel while blocked", noTarget, &H::cancelRecording, std::nullopt},
        {"cancel while uploading", uploading, &H::cancelRecording, std::nullopt},
        {"fail again with the same error", timeout, fail, timeout},
        {"fail while injecting", injecting, fail, timeout},
        {"reset while uploading", uploading, &H::reset, idle},
        {"dismiss while recording", recording, &H::dismissTerminalState, idle},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Probe probe(row.from);
        ASSERT_EQ(probe.holder.state(), row.from);
        row.operation(probe.holder);
        EXPECT_EQ(probe.holder.state(), row.to.value_or(row.from));
        EXPECT_EQ(probe.published, row.to ? QList{*row.to} : QList<SessionState>{});
    }
    // A new recording is refused while one is active.
    for (const SessionState& active : {recording, uploading, injecting}) {
        Probe probe(active);
        try {
            probe.holder.beginRecording();
            ADD_FAILURE() << "accepted a second recording";
        } catch (const QuorvelleError& error) {
            EXPECT_EQ(error, QuorvelleError(QuorvelleErrorCase::sessionAlreadyActive));
        }
        EXPECT_EQ(probe.holder.state(), active);
        EXPECT_TRUE(probe.published.isEmpty());
    }
}

}  // namespace
}  // namespace quorvelle
