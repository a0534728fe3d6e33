// OnboardingStatus: the setup-readiness record the session builds from the permissions and
// settings; it decides whether the first-run screen is still needed. Not stored.
#pragma once

#include "Models/PermissionState.h"
#include "Models/TranscriptionBackend.h"

namespace quorvelle {

struct OnboardingStatus {
    PermissionState microphonePermission = PermissionState::notDetermined;
    PermissionState accessibilityPermission = PermissionState::notDetermined;
    bool hasAPIKey = false;  // a backend account session exists
    bool hasAcceptedGroqDisclosure = false;
    bool hasAcceptedPrivacyDisclosure = false;
    TranscriptionBackend selectedTranscriptionBackend = TranscriptionBackend::cloud;
    bool isLocalSetupReady = false;

    // Both permissions granted, and then: for local, the engine and model are ready; for cloud,
    // an account session and both disclosures.
    bool isComplete() const;

    friend bool operator==(const OnboardingStatus&, const OnboardingStatus&) = default;
};

}  // namespace quorvelle
