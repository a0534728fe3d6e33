#include "ViewModel/SessionCoordinator.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvelle {
namespace {

const QuorvelleError kNoSpeech(QuorvelleErrorCase::noSpeechDetected);
const QuorvelleError kTimeout(QuorvelleErrorCase::requestTimedOut);

using Operation = std::function<void(SessionCoordinator&)>;

struct Row {
    const char* label;
    SessionState from;
    Operation operation;
    std::optional<SessionState> to;  // none: ignored, nothing published
};

// Puts a fresh holder into the state (through allowed transitions) and counts what it publishes.
struct Probe {
    SessionCoordinator holder;
    QList<SessionState> published;
    CurrentValueSubject<SessionState>::Token token;

    explicit Probe(const SessionState& start) {
        using Kind = SessionState::Kind;
        switch (start.kind()) {
            case Kind::idle: break;
            case Kind::blocked: holder.block(*start.blockReason()); break;
            case Kind::error: holder.fail(*start.error()); break;
            case Kind::fallbackCopied:
            case Kind::success:
            case Kind::injecting:
            case Kind::uploading:
            case Kind::recording:
                holder.beginRecording();
                if (start.kind() != Kind::recording) holder.beginUploading();
                if (start.kind() == Kind::injecting) holder.beginInjecting();
                if (start.kind() == Kind::fallbackCopied) holder.markFallbackCopied();
                if (start.kind() == Kind::success) holder.markSuccess();
                break;
        }
        token = holder.statePublisher().subscribe([this](const SessionState& state) { published.append(state); });
        published.clear();  // the value given at subscription
    }
    ~Probe() { holder.statePublisher().unsubscribe(token); }
};

TEST(SessionCoordinator, AllowedTransitionsPublishOnceAndOthersDoNothing) {
    const auto recording = SessionState::recording();
    const auto uploading = SessionState::uploading();
    const auto injecting = SessionState::injecting();
    const auto idle = SessionState::idle();
    const auto secureField = SessionState::blocked(SessionBlockReason::secureField);
    const auto noTarget = SessionState::blocked(SessionBlockReason::noWritableTarget);
    const Operation beginRecording = [](SessionCoordinator& h) { h.beginRecording(); };
    const Operation blockSecure = [](SessionCoordinator& h) { h.block(SessionBlockReason::secureField); };
    const Operation beginUploading = [](SessionCoordinator& h) { h.beginUploading(); };
    const Operation beginInjecting = [](SessionCoordinator& h) { h.beginInjecting(); };
    const Operation fallback = [](SessionCoordinator& h) { h.markFallbackCopied(); };
    const Operation success = [](SessionCoordinator& h) { h.markSuccess(); };
    const Operation cancel = [](SessionCoordinator& h) { h.cancelRecording(); };
    const Operation failTimeout = [](SessionCoordinator& h) { h.fail(kTimeout); };
    const Operation reset = [](SessionCoordinator& h) { h.reset(); };
    const Operation dismiss = [](SessionCoordinator& h) { h.dismissTerminalState(); };

    const QList<Row> rows{
        {"record from idle", idle, beginRecording, recording},
        {"record from error", SessionState::error(kNoSpeech), beginRecording, recording},
        {"record from blocked", noTarget, beginRecording, recording},
        {"record from success", SessionState::success(), beginRecording, recording},
        {"record from fallback", SessionState::fallbackCopied(), beginRecording, recording},
        {"block while recording", recording, blockSecure, std::nullopt},
        {"block while injecting", injecting, blockSecure, std::nullopt},
        {"block after success", SessionState::success(), blockSecure, secureField},
        {"block again when blocked", secureField, blockSecure, secureField},
        {"upload from recording", recording, beginUploading, uploading},
        {"upload from idle", idle, beginUploading, std::nullopt},
        {"inject from uploading", uploading, beginInjecting, injecting},
        {"inject from recording", recording, beginInjecting, std::nullopt},
        {"success straight from uploading", uploading, success, SessionState::success()},
        {"success from injecting", injecting, success, SessionState::success()},
        {"success from error", SessionState::error(kNoSpeech), success, std::nullopt},
        {"fallback from uploading", uploading, fallback, SessionState::fallbackCopied()},
        {"fallback from injecting", injecting, fallback, SessionState::fallbackCopied()},
        {"fallback from recording", recording, fallback, std::nullopt},
        {"cancel while recording", recording, cancel, idle},
        {"cancel while blocked", noTarget, cancel, std::nullopt},
        {"cancel while uploading", uploading, cancel, std::nullopt},
        {"fail while idle", idle, failTimeout, SessionState::error(kTimeout)},
        {"fail again with the same error", SessionState::error(kTimeout), failTimeout, SessionState::error(kTimeout)},
        {"fail while injecting", injecting, failTimeout, SessionState::error(kTimeout)},
        {"reset while idle", idle, reset, idle},
        {"reset while uploading", uploading, reset, idle},
        {"dismiss an error", SessionState::error(kNoSpeech), dismiss, idle},
        {"dismiss while recording", recording, dismiss, idle},
    };
    for (const Row& row : rows) {
        Probe probe(row.from);
        ASSERT_EQ(probe.holder.state(), row.from) << row.label;
        row.operation(probe.holder);
        EXPECT_EQ(probe.holder.state(), row.to.value_or(row.from)) << row.label;
        const QList<SessionState> expected = row.to ? QList<SessionState>{*row.to} : QList<SessionState>{};
        EXPECT_EQ(probe.published, expected) << row.label;
    }
}

TEST(SessionCoordinator, ANewRecordingIsRefusedWhileOneIsActive) {
    for (const SessionState& active :
         {SessionState::recording(), SessionState::uploading(), SessionState::injecting()}) {
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

TEST(SessionCoordinator, ANewSubscriberGetsTheCurrentStateAtOnce) {
    SessionCoordinator holder;
    QList<SessionState> seen;
    const auto token = holder.statePublisher().subscribe([&](const SessionState& state) { seen.append(state); });
    EXPECT_EQ(seen, QList<SessionState>{SessionState::idle()});
    holder.statePublisher().unsubscribe(token);
}

}  // namespace
}  // namespace quorvelle
