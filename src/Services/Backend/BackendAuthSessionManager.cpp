#include "Services/Backend/BackendAuthSessionManager.h"

#include "Models/QuorvelleError.h"
#include "Support/CancellationError.h"
#include "Support/JsonCoding.h"

#include <QUuid>

namespace quorvelle {

namespace {

const QString kApproved = QStringLiteral("approved");
const QString kPending = QStringLiteral("pending");

bool isPresentAndNotEmpty(const std::optional<QString>& value) {
    return value && !value->isEmpty();
}

}  // namespace

BackendAuthSessionManager::BackendAuthSessionManager(std::shared_ptr<BackendAPIClienting> backendAPIClient,
                                                     std::shared_ptr<BackendTokenStoring> tokenStore,
                                                     std::shared_ptr<const BackendInstallIDLookup> installIDLookup,
                                                     DeviceInformationReader deviceInformation)
    : m_backendAPIClient(std::move(backendAPIClient)),
      m_tokenStore(std::move(tokenStore)),
      m_installIDLookup(std::move(installIDLookup)),
      m_deviceInformation(std::move(deviceInformation)) {}

bool BackendAuthSessionManager::hasStoredSession() const {
    return isPresentAndNotEmpty(m_tokenStore->accessToken()) && isPresentAndNotEmpty(m_tokenStore->deviceID());
}

std::optional<QString> BackendAuthSessionManager::registeredDeviceID() const {
    return m_tokenStore->deviceID();
}

QCoro::Task<BackendAuthDeviceLoginChallenge> BackendAuthSessionManager::startDeviceLogin(std::stop_token stopToken) {
    throwIfStopped(stopToken);
    // The keyring first: a sign-in approved on the web that cannot be stored here would have spent
    // its one-time approval. A keyring that is absent or locked throws APIKeyStoreError here.
    installID();
    const DeviceInformation device = m_deviceInformation.read();
    BackendDeviceLoginStartRequest request{device.deviceName, device.osVersion, device.appVersion, device.build};
    const BackendDeviceLoginStartResponse response = co_await m_backendAPIClient->startDeviceLogin(std::move(request));
    throwIfStopped(stopToken);
    co_return BackendAuthDeviceLoginChallenge{response.deviceLoginID, response.devicePollSecret, response.userCode,
                                              response.verificationURL, response.expiresAt};
}

QCoro::Task<BackendDeviceLoginPollResult> BackendAuthSessionManager::pollDeviceLogin(
    BackendAuthDeviceLoginChallenge challenge, std::stop_token stopToken) {
    throwIfStopped(stopToken);
    const BackendDeviceLoginPollResponse response =
        co_await m_backendAPIClient->pollDeviceLogin(challenge.deviceLoginID, challenge.devicePollSecret);
    // A sign-in given up while the answer was on its way stores nothing.
    throwIfStopped(stopToken);
    if (response.status != kApproved) co_return BackendDeviceLoginPollResult{response.status, false, std::nullopt};
    // Telling the caller "approved" without tokens would report a connected account that is not.
    if (!isPresentAndNotEmpty(response.accessToken) || !isPresentAndNotEmpty(response.refreshToken)) {
        co_return BackendDeviceLoginPollResult{kPending, false, std::nullopt};
    }
    const QString deviceID = co_await completeDeviceLogin(*response.accessToken, *response.refreshToken, stopToken);
    co_return BackendDeviceLoginPollResult{response.status, true, deviceID};
}

QCoro::Task<QString> BackendAuthSessionManager::completeDeviceLogin(QString accessToken, QString refreshToken,
                                                                    std::stop_token stopToken) {
    const QString fingerprint = deviceFingerprintHash();
    const DeviceInformation device = m_deviceInformation.read();
    BackendDeviceRegistrationRequest request{fingerprint, device.deviceName, device.osVersion, device.appVersion,
                                             device.build};
    const DeviceRegistrationEnvelope registration =
        co_await m_backendAPIClient->registerDevice(std::move(request), accessToken);
    throwIfStopped(stopToken);
    // Stored only now, so a failed registration leaves no half sign-in behind.
    m_tokenStore->saveAccessToken(accessToken);
    m_tokenStore->saveRefreshToken(refreshToken);
    m_tokenStore->saveDeviceID(registration.device.id);
    co_return registration.device.id;
}

QCoro::Task<QString> BackendAuthSessionManager::validAccessToken() {
    const std::optional<QString> stored = m_tokenStore->accessToken();
    if (isPresentAndNotEmpty(stored)) co_return *stored;
    co_return co_await refreshSession();
}

QCoro::Task<QString> BackendAuthSessionManager::refreshSession() {
    const std::optional<QString> refreshToken = m_tokenStore->refreshToken();
    if (!isPresentAndNotEmpty(refreshToken)) throw QuorvelleError(QuorvelleErrorCase::invalidAPIKey);
    const BackendSessionRefreshResponse response = co_await m_backendAPIClient->refreshSession(*refreshToken);
    m_tokenStore->saveAccessToken(response.accessToken);
    m_tokenStore->saveRefreshToken(response.refreshToken);
    co_return response.accessToken;
}

QCoro::Task<void> BackendAuthSessionManager::signOut(std::stop_token stopToken) {
    throwIfStopped(stopToken);
    if (const std::optional<QString> accessToken = m_tokenStore->accessToken()) {
        try {
            co_await m_backendAPIClient->logout(*accessToken);
        } catch (...) {
            // The backend revoking the session is a courtesy; the local sign-out happens regardless.
        }
    }
    throwIfStopped(stopToken);
    m_tokenStore->clearSession();
}

QString BackendAuthSessionManager::installID() const {
    const std::optional<QString> stored = m_installIDLookup->lookUpInstallID();
    if (isPresentAndNotEmpty(stored)) return *stored;
    const QString created = json::uuidToText(QUuid::createUuid());
    m_tokenStore->saveInstallID(created);
    return created;
}

QString BackendAuthSessionManager::deviceFingerprintHash() const {
    return quorvelle::deviceFingerprintHash(installID());
}

}  // namespace quorvelle
