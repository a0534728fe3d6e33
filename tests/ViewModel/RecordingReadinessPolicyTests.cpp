#include "ViewModel/RecordingReadinessPolicy.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvelle {
namespace {

TEST(RecordingReadinessPolicy, DecidesReadinessAndListsWhatIsMissing) {
    using P = RecordingReadinessPolicy;
    const auto noDisclosures = [](P& p) {
        p.onboardingStatus.hasAcceptedGroqDisclosure = p.onboardingStatus.hasAcceptedPrivacyDisclosure = false;
    };
    const struct Row {
        const char* summary;
        bool ready;
        std::function<void(P&)> adjust;  // from signed in, cloud, everything granted
    } rows[] = {
        {"Ready.", true, {}},
        {"Missing: Microphone.", true, [](P& p) { p.onboardingStatus.microphonePermission = PermissionState::denied; }},
        {"Missing: Quorvelle account.", false,
         [](P& p) {
             p.selectedTranscriptionBackend = TranscriptionBackend::local, p.onboardingStatus.hasAPIKey = false;
         }},
        {"Missing: API key.", false,
         [](P& p) { p.hasBackendAuthSessionManager = false, p.onboardingStatus.hasAPIKey = false; }},
        {"Missing: Accessibility, Local runtime, Local model.", false,
         [](P& p) {
             p.selectedTranscriptionBackend = TranscriptionBackend::local;
             p.localRuntimeAvailability = LocalRuntimeAvailability::unavailable(QStringLiteral("x"));
             p.hasSelectedLocalModelInstalled = false;
             p.onboardingStatus.accessibilityPermission = PermissionState::denied;
         }},
        {"Missing: Cloud disclosure, Privacy disclosure.", false, noDisclosures},
    };
    for (const Row& row : rows) {
        P policy;
        policy.selectedTranscriptionBackend = TranscriptionBackend::cloud;
        policy.hasBackendAuthSessionManager = true;
        policy.onboardingStatus = {PermissionState::authorized,
                                   PermissionState::authorized,
                                   true,
                                   true,
                                   true,
                                   TranscriptionBackend::cloud,
                                   false};
        policy.hasSelectedLocalModelInstalled = true;
        if (row.adjust) row.adjust(policy);
        policy.onboardingStatus.selectedTranscriptionBackend = policy.selectedTranscriptionBackend;
        policy.requiresBackendAccountSignIn = policy.hasBackendAuthSessionManager && !policy.onboardingStatus.hasAPIKey;
        EXPECT_EQ(policy.isRuntimeReady(), row.ready) << row.summary;
        EXPECT_EQ(policy.summary(), QString::fromUtf8(row.summary));
    }
}

}  // namespace
}  // namespace quorvelle
