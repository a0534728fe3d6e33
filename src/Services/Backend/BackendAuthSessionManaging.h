#pragma once

#include "Support/QmlValues.h"

#include <QCoroTask>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>
#include <stop_token>

namespace quorvelle {

// One pending device-code sign-in, kept by the caller while it polls.
struct BackendAuthDeviceLoginChallenge {
    Q_GADGET
    Q_PROPERTY(QString deviceLoginID MEMBER deviceLoginID)
    Q_PROPERTY(QString userCode MEMBER userCode)
    Q_PROPERTY(QUrl verificationURL MEMBER verificationURL)
    Q_PROPERTY(QVariant expiresAt READ expiresAtValue)

public:
    QString deviceLoginID;
    QString devicePollSecret;
    QString userCode;
    QUrl verificationURL;
    std::optional<QDateTime> expiresAt;

    QVariant expiresAtValue() const { return optionalValue(expiresAt); }

    bool operator==(const BackendAuthDeviceLoginChallenge&) const = default;
};

// What one poll tells the caller.
struct BackendDeviceLoginPollResult {
    QString status;
    bool isApproved = false;
    // The device id when this poll completed the sign-in.
    std::optional<QString> registeredDeviceID;

    bool operator==(const BackendDeviceLoginPollResult&) const = default;
};

// The account sign-in as the view model drives it. Failures are the backend client's QuorvelleError
// and the token store's APIKeyStoreError, passed on unchanged.
class BackendAuthSessionManaging {
public:
    virtual ~BackendAuthSessionManaging() = default;

    // A non-empty access token and a non-empty device id are stored.
    virtual bool hasStoredSession() const = 0;
    virtual std::optional<QString> registeredDeviceID() const = 0;
    // The keyring holding the session cannot be read (absent or locked): no session shows, whether
    // one is stored or not.
    virtual bool isKeyringUnavailable() const = 0;

    // A stop request ends each call with CancellationError before it changes anything more.
    virtual QCoro::Task<BackendAuthDeviceLoginChallenge> startDeviceLogin(std::stop_token stopToken = {}) = 0;
    virtual QCoro::Task<BackendDeviceLoginPollResult> pollDeviceLogin(BackendAuthDeviceLoginChallenge challenge,
                                                                      std::stop_token stopToken = {}) = 0;
    virtual QCoro::Task<void> signOut(std::stop_token stopToken = {}) = 0;
};

}  // namespace quorvelle
