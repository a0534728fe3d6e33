#include "ViewModel/SessionCoordinator.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvelle {
namespace {

using H = SessionCoordinator;
using Step = std::function<void(H&)>;

TEST(SessionCoordinator, AStepIsTakenOnlyFromTheStatesThatAllowItAndPublishedOnce) {
    const QuorvelleError timeout(QuorvelleErrorCase::requestTimedOut);
    const Step record = &H::beginRecording, upload = &H::beginUploading, inject = &H::beginInjecting;
    const Step succeed = &H::markSuccess, copy = &H::markFallbackCopied, cancel = &H::cancelRecording;
    const Step block = [](H& h) { h.block(SessionBlockReason::secureField); };
    const Step fail = [&](H& h) { h.fail(timeout); };
    const Step refuse = [](H& h) { h.refuseDelivery(SessionBlockReason::secureField); };
    const Step refuseRecording = [](H& h) { h.refuseRecording(SessionBlockReason::secureField); };
    const auto recording = SessionState::recording(), idle = SessionState::idle();
    const auto blocked = SessionState::blocked(SessionBlockReason::secureField);
    const auto success = SessionState::success();
    const struct {
        const char* label;
        QList<Step> path;  // from idle to the state the step starts in
        Step step;
        std::optional<SessionState> to;  // none: ignored, nothing published
    } rows[] = {
        {"record when blocked", {block}, record, recording},
        {"record after success", {record, upload, succeed}, record, recording},
        {"block while recording", {record}, block, std::nullopt},
        {"block while injecting", {record, upload, inject}, block, std::nullopt},
        {"block after success", {record, upload, succeed}, block, blocked},
        {"upload from idle", {}, upload, std::nullopt},
        {"delivery refused while uploading", {record, upload}, refuse, blocked},
        {"delivery refused while injecting", {record, upload, inject}, refuse, blocked},
        {"delivery refused while recording", {record}, refuse, std::nullopt},
        {"delivery refused after success", {record, upload, succeed}, refuse, std::nullopt},
        {"recording refused while recording", {record}, refuseRecording, blocked},
        {"recording refused while uploading", {record, upload}, refuseRecording, std::nullopt},
        {"success straight from uploading", {record, upload}, succeed, success},
        {"success after a failure", {fail}, succeed, std::nullopt},
        {"fallback from injecting", {record, upload, inject}, copy, SessionState::fallbackCopied()},
        {"cancel while recording", {record}, cancel, idle},
        {"cancel while uploading", {record, upload}, cancel, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        H holder;
        for (const Step& step : row.path)
            step(holder);
        const SessionState from = holder.state();
        QList<SessionState> published;
        const auto token = holder.statePublisher().subscribe([&](const SessionState& s) { published.append(s); });
        EXPECT_EQ(published, QList{from}) << "a new subscriber gets the current state at once";
        published.clear();
        row.step(holder);
        EXPECT_EQ(holder.state(), row.to.value_or(from));
        EXPECT_EQ(published, row.to ? QList{*row.to} : QList<SessionState>{});
        holder.statePublisher().unsubscribe(token);
    }
    for (const QList<Step>& active : {QList{record}, QList{record, upload, inject}}) {
        H holder;
        for (const Step& step : active)
            step(holder);
        const SessionState before = holder.state();
        try {
            holder.beginRecording();
            ADD_FAILURE() << "accepted a second recording";
        } catch (const QuorvelleError& error) {
            EXPECT_EQ(error, QuorvelleError(QuorvelleErrorCase::sessionAlreadyActive));
        }
        EXPECT_EQ(holder.state(), before);
    }
}

}  // namespace
}  // namespace quorvelle
