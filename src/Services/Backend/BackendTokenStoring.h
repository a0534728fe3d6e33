#pragma once

#include <QString>

#include <optional>

namespace quorvelle {

// The account credentials of the backend. Reads never fail (any failure reads as absent); saves and
// clearSession throw APIKeyStoreError.
class BackendTokenStoring {
public:
    virtual ~BackendTokenStoring() = default;

    virtual std::optional<QString> accessToken() const = 0;
    virtual std::optional<QString> refreshToken() const = 0;
    virtual std::optional<QString> deviceID() const = 0;
    virtual std::optional<QString> installID() const = 0;
    // The keyring cannot be read at all (absent or locked), as opposed to holding no credentials.
    virtual bool isKeyringUnavailable() const = 0;

    virtual void saveAccessToken(const QString& value) = 0;
    virtual void saveRefreshToken(const QString& value) = 0;
    virtual void saveDeviceID(const QString& value) = 0;
    virtual void saveInstallID(const QString& value) = 0;

    // Removes the access token, the refresh token and the device id, in that order, stopping at the
    // first refusal. The install id stays, so this computer keeps its fingerprint across sign-ins.
    virtual void clearSession() = 0;
};

}  // namespace quorvelle
