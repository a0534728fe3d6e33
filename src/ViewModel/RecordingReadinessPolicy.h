#pragma once

#include "Models/AppStrings.h"
#include "Models/OnboardingStatus.h"
#include "Models/TranscriptionBackend.h"
#include "Services/Transcription/LocalRuntimeAvailability.h"

#include <QStringList>

namespace quorvelle {

// Whether dictation can run with the current settings, and what is still missing, item by item.
struct RecordingReadinessPolicy {
    AppStrings appStrings;
    bool requiresBackendAccountSignIn = false;
    OnboardingStatus onboardingStatus;
    TranscriptionBackend selectedTranscriptionBackend = TranscriptionBackend::cloud;
    bool hasBackendAuthSessionManager = false;
    LocalRuntimeAvailability localRuntimeAvailability = LocalRuntimeAvailability::ready();
    bool hasSelectedLocalModelInstalled = false;

    // The hot key may be registered. Permissions are not part of it: they are checked when a
    // recording starts and when text is delivered.
    bool isRuntimeReady() const;
    QStringList missingItems() const;
    // "Ready." or "Missing: a, b." in the strings' language.
    QString summary() const;
};

}  // namespace quorvelle
