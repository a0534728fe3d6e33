#pragma once

#include "Services/Backend/BackendTokenStoring.h"
#include "Services/Backend/SecretItemStoring.h"

#include <QHash>
#include <QStringList>

#include <memory>
#include <mutex>

namespace quorvelle {

// The credentials as four secret items of one service. A value read or saved is kept, so that each
// upload does not go to the keyring again (a round trip of a millisecond or more); clearing the
// session or a refused save forgets it, and a missing or unreadable item is asked for every time.
// Copies share the item store and the kept values: every user of the credentials must hold a copy of
// one store, as the keyring's items are not watched for changes made elsewhere.
class KeychainBackendTokenStore : public BackendTokenStoring {
public:
    KeychainBackendTokenStore(std::shared_ptr<SecretItemStoring> items, QString service, QString accessTokenAccount,
                              QString refreshTokenAccount, QString deviceIDAccount, QString installIDAccount);

    // The service "com.dovent.Quorvelle" with the program's four account names.
    static KeychainBackendTokenStore standard(std::shared_ptr<SecretItemStoring> items);

    std::optional<QString> accessToken() const override { return readValue(m_accessTokenAccount); }
    std::optional<QString> refreshToken() const override { return readValue(m_refreshTokenAccount); }
    std::optional<QString> deviceID() const override { return readValue(m_deviceIDAccount); }
    std::optional<QString> installID() const override { return readValue(m_installIDAccount); }
    bool isKeyringUnavailable() const override;

    void saveAccessToken(const QString& value) override { saveValue(value, m_accessTokenAccount); }
    void saveRefreshToken(const QString& value) override { saveValue(value, m_refreshTokenAccount); }
    void saveDeviceID(const QString& value) override { saveValue(value, m_deviceIDAccount); }
    void saveInstallID(const QString& value) override { saveValue(value, m_installIDAccount); }

    void clearSession() override;

    // The text of the account's item; absent when it is missing, unreadable or not UTF-8.
    std::optional<QString> readValue(const QString& account) const;
    // Adds the item, or replaces the data of the existing one; throws APIKeyStoreError when refused.
    void saveValue(const QString& value, const QString& account);

private:
    void forget(const QStringList& accounts);

    struct Kept {
        std::mutex mutex;
        QHash<QString, QString> values;  // by account
    };

    std::shared_ptr<SecretItemStoring> m_items;
    std::shared_ptr<Kept> m_kept = std::make_shared<Kept>();
    QString m_service;
    QString m_accessTokenAccount;
    QString m_refreshTokenAccount;
    QString m_deviceIDAccount;
    QString m_installIDAccount;
};

}  // namespace quorvelle
