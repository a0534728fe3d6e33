// OnboardingStatus: the setup-readiness record the session builds from the permissions and
// settings; it decides whether the first-run screen is still needed. Not stored.
#pragma once

#include "Models/PermissionState.h"
#include "Models/TranscriptionBackend.h"

#include <QObject>

namespace quorvelle {

struct OnboardingStatus {
    Q_GADGET
    Q_PROPERTY(QString microphonePermission READ microphonePermissionName)
    Q_PROPERTY(QString accessibilityPermission READ accessibilityPermissionName)
    Q_PROPERTY(bool hasAPIKey MEMBER hasAPIKey)
    Q_PROPERTY(bool hasAcceptedGroqDisclosure MEMBER hasAcceptedGroqDisclosure)
    Q_PROPERTY(bool hasAcceptedPrivacyDisclosure MEMBER hasAcceptedPrivacyDisclosure)
    Q_PROPERTY(QString selectedTranscriptionBackend READ selectedTranscriptionBackendName)
    Q_PROPERTY(bool isLocalSetupReady MEMBER isLocalSetupReady)
    Q_PROPERTY(bool isComplete READ isComplete)

public:
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

    QString microphonePermissionName() const { return rawValue(microphonePermission); }
    QString accessibilityPermissionName() const { return rawValue(accessibilityPermission); }
    QString selectedTranscriptionBackendName() const { return rawValue(selectedTranscriptionBackend); }

    friend bool operator==(const OnboardingStatus&, const OnboardingStatus&) = default;
};

}  // namespace quorvelle
