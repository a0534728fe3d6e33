#pragma once

#include "Services/Backend/BackendAPIClienting.h"
#include "Services/Backend/BackendAuthSessionManaging.h"
#include "Services/Backend/BackendInstallIDLookup.h"
#include "Services/Backend/BackendTokenStoring.h"
#include "Services/Backend/DeviceInformation.h"

#include <memory>

namespace quorvelle {

// Connects this computer to a backend account by a device-code sign-in: start, poll until approved,
// register the device under a stable fingerprint, keep the tokens. It also hands out a usable access
// token (refreshing when none is stored) and signs out. It keeps no state of its own: the pending
// sign-in lives with the caller, the credentials in the token store.
class BackendAuthSessionManager : public BackendAuthSessionManaging {
public:
    BackendAuthSessionManager(std::shared_ptr<BackendAPIClienting> backendAPIClient,
                              std::shared_ptr<BackendTokenStoring> tokenStore,
                              std::shared_ptr<const BackendInstallIDLookup> installIDLookup,
                              DeviceInformationReader deviceInformation = DeviceInformationReader());

    bool hasStoredSession() const override;
    std::optional<QString> registeredDeviceID() const override;
    bool isKeyringUnavailable() const override { return m_tokenStore->isKeyringUnavailable(); }

    QCoro::Task<BackendAuthDeviceLoginChallenge> startDeviceLogin(std::stop_token stopToken = {}) override;
    // An "approved" answer carrying both tokens completes the sign-in. One that lacks a token (or
    // carries an empty one) is no approval: it is reported as "pending" and nothing is registered
    // or stored.
    QCoro::Task<BackendDeviceLoginPollResult> pollDeviceLogin(BackendAuthDeviceLoginChallenge challenge,
                                                              std::stop_token stopToken = {}) override;
    // Revokes the session on the backend (best effort) and clears the stored tokens and device id;
    // the install id stays.
    QCoro::Task<void> signOut(std::stop_token stopToken = {}) override;

    // The stored access token when there is a non-empty one, else a refreshed one.
    QCoro::Task<QString> validAccessToken();
    // Trades the stored refresh token for new tokens and stores both; QuorvelleError invalidAPIKey
    // without a refresh token. Nothing is cleared when it fails.
    QCoro::Task<QString> refreshSession();
    // Registers this computer with the approved tokens; only then stores access token, refresh token
    // and device id, in that order. Returns the device id.
    QCoro::Task<QString> completeDeviceLogin(QString accessToken, QString refreshToken, std::stop_token stopToken);

    // The stored install id, made and stored on first need. Throws APIKeyStoreError when the keyring
    // does not answer or refuses the new id, so an unanswered read never replaces an existing id.
    QString installID() const;
    // 64 lowercase hexadecimal digits derived from the install id.
    QString deviceFingerprintHash() const;

private:
    std::shared_ptr<BackendAPIClienting> m_backendAPIClient;
    std::shared_ptr<BackendTokenStoring> m_tokenStore;
    std::shared_ptr<const BackendInstallIDLookup> m_installIDLookup;
    DeviceInformationReader m_deviceInformation;
};

}  // namespace quorvelle
