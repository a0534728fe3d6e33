#include "Models/OnboardingStatus.h"

namespace quorvelle {

bool OnboardingStatus::isComplete() const {
    if (microphonePermission != PermissionState::authorized || accessibilityPermission != PermissionState::authorized)
        return false;
    switch (selectedTranscriptionBackend) {
        case TranscriptionBackend::local: return isLocalSetupReady;
        case TranscriptionBackend::cloud: break;
    }
    return hasAPIKey && hasAcceptedGroqDisclosure && hasAcceptedPrivacyDisclosure;
}

}  // namespace quorvelle
