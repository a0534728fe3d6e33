#include "ViewModel/RecordingReadinessPolicy.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

RecordingReadinessPolicy policy(TranscriptionBackend backend, bool signedIn, bool hasSignInService) {
    RecordingReadinessPolicy p;
    p.selectedTranscriptionBackend = backend;
    p.hasBackendAuthSessionManager = hasSignInService;
    p.onboardingStatus = {
        PermissionState::authorized, PermissionState::authorized, signedIn, true, true, backend, false};
    p.requiresBackendAccountSignIn = hasSignInService && !signedIn;
    p.hasSelectedLocalModelInstalled = true;
    return p;
}

TEST(RecordingReadinessPolicy, DecidesReadinessAndListsWhatIsMissing) {
    using B = TranscriptionBackend;
    struct Row {
        const char* label;
        RecordingReadinessPolicy policy;
        bool ready;
        const char* summary;
    };
    QList<Row> rows;
    rows.append({"cloud, all set", policy(B::cloud, true, true), true, "Ready."});
    Row noMicrophone{"no microphone is still ready", policy(B::cloud, true, true), true, "Missing: Microphone."};
    noMicrophone.policy.onboardingStatus.microphonePermission = PermissionState::denied;
    rows.append(noMicrophone);
    rows.append({"not signed in", policy(B::local, false, true), false, "Missing: Quorvelle account."});
    rows.append({"no sign-in service", policy(B::cloud, false, false), false, "Missing: API key."});
    Row local{"local without model or runtime", policy(B::local, true, true), false,
              "Missing: Accessibility, Local runtime, Local model."};
    local.policy.localRuntimeAvailability = LocalRuntimeAvailability::unavailable(QStringLiteral("x"));
    local.policy.hasSelectedLocalModelInstalled = false;
    local.policy.onboardingStatus.accessibilityPermission = PermissionState::denied;
    rows.append(local);
    Row disclosures{"cloud disclosures", policy(B::cloud, true, true), false,
                    "Missing: Cloud disclosure, Privacy disclosure."};
    disclosures.policy.onboardingStatus.hasAcceptedGroqDisclosure = false;
    disclosures.policy.onboardingStatus.hasAcceptedPrivacyDisclosure = false;
    rows.append(disclosures);
    Row turkish = disclosures;
    turkish.label = "in Turkish";
    turkish.policy.appStrings = AppStrings(QStringLiteral("tr"));
    turkish.summary = "Eksik: Cloud disclosure, Gizlilik metni.";
    rows.append(turkish);

    for (const Row& row : rows) {
        EXPECT_EQ(row.policy.isRuntimeReady(), row.ready) << row.label;
        EXPECT_EQ(row.policy.summary(), QString::fromUtf8(row.summary)) << row.label;
    }
}

}  // namespace
}  // namespace quorvelle
