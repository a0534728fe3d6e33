#pragma once

#include "Models/AppStrings.h"
#include "Models/TranscriptionBackend.h"
#include "Services/Backend/BackendAuthSessionManaging.h"

#include <optional>

namespace quorvelle {

// The values the account texts are made from, taken at one moment; the texts are pure functions of it.
struct AccountCopy {
    AppStrings appStrings;
    // An account session is stored.
    bool hasStoredSession = false;
    TranscriptionBackend selectedTranscriptionBackend = TranscriptionBackend::cloud;
    bool hasBackendAuthSessionManager = false;
    std::optional<BackendAuthDeviceLoginChallenge> backendAuthChallenge;
    std::optional<QString> registeredBackendDeviceID;
    // No session shows because the keyring cannot be read: the texts say so.
    bool keyringUnavailable = false;

    QString accountRequiredTitle() const;
    QString accountRequiredMessage() const;
    QString accountStatusLabel() const;
    QString accountSectionTitle() const;
    QString connectionSummary() const;
    QString actionButtonTitle() const;
    QString registeredDeviceLabel() const;

private:
    bool isLocalWithoutAccount() const {
        return selectedTranscriptionBackend == TranscriptionBackend::local && !hasBackendAuthSessionManager;
    }
};

}  // namespace quorvelle
