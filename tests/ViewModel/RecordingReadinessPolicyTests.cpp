#include "ViewModel/RecordingReadinessPolicy.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvelle {
namespace {

TEST(RecordingReadinessPolicy, DecidesReadinessAndListsWhatIsMissing) {
    using P = RecordingReadinessPolicy;
    using B = TranscriptionBackend;
    // From signed in, cloud, everything granted.
    const auto judge = [](const std::function<void(P&)>& adjust) {
        P p;
        p.selectedTranscriptionBackend = B::cloud;
        p.hasBackendAuthSessionManager = p.hasSelectedLocalModelInstalled = true;
        p.onboardingStatus = {
            PermissionState::authorized, PermissionState::authorized, true, true, true, B::cloud, false};
        adjust(p);
        p.onboardingStatus.selectedTranscriptionBackend = p.selectedTranscriptionBackend;
        p.requiresBackendAccountSignIn = p.hasBackendAuthSessionManager && !p.onboardingStatus.hasAPIKey;
        return (p.isRuntimeReady() ? QStringLiteral("ready: ") : QStringLiteral("not ready: ")) + p.summary();
    };
    EXPECT_EQ(judge([](P&) {}), "ready: Ready.");
    EXPECT_EQ(judge([](P& p) { p.onboardingStatus.microphonePermission = PermissionState::denied; }),
              "ready: Missing: Microphone.");
    EXPECT_EQ(judge([](P& p) { p.selectedTranscriptionBackend = B::local, p.onboardingStatus.hasAPIKey = false; }),
              "not ready: Missing: Quorvelle account.");
    EXPECT_EQ(judge([](P& p) { p.hasBackendAuthSessionManager = p.onboardingStatus.hasAPIKey = false; }),
              "not ready: Missing: API key.");
    EXPECT_EQ(judge([](P& p) {
                  p.selectedTranscriptionBackend = B::local;
                  p.localRuntimeAvailability = LocalRuntimeAvailability::unavailable(QStringLiteral("x"));
                  p.hasSelectedLocalModelInstalled = false;
                  p.onboardingStatus.accessibilityPermission = PermissionState::denied;
              }),
              "not ready: Missing: Accessibility, Local runtime, Local model.");
    EXPECT_EQ(judge([](P& p) {
                  p.onboardingStatus.hasAcceptedGroqDisclosure = p.onboardingStatus.hasAcceptedPrivacyDisclosure =
                      false;
              }),
              "not ready: Missing: Cloud disclosure, Privacy disclosure.");
}

}  // namespace
}  // namespace quorvelle
