#pragma once

#include "Services/Backend/SecretItemStoring.h"

#include <QString>

#include <memory>
#include <optional>

namespace quorvelle {

// The install id item read so that "no item" and "no answer" stay apart. The token store folds both
// into absence, which is right for tokens but not here: a new install id made because the keyring did
// not answer would change this computer's fingerprint for good.
class BackendInstallIDLookup {
public:
    virtual ~BackendInstallIDLookup() = default;

    // The stored install id; none when no item exists or its data is not text. Throws APIKeyStoreError
    // with the keyring's status when the keyring gave no answer.
    virtual std::optional<QString> lookUpInstallID() const = 0;
};

// The install id item of the secret item store, under the same service and account as the token
// store's.
class SecretItemInstallIDLookup : public BackendInstallIDLookup {
public:
    explicit SecretItemInstallIDLookup(std::shared_ptr<SecretItemStoring> items,
                                       QString service = QStringLiteral("com.dovent.Quorvelle"),
                                       QString account = QStringLiteral("quorvelle.backend.install-id"));

    std::optional<QString> lookUpInstallID() const override;

private:
    std::shared_ptr<SecretItemStoring> m_items;
    QString m_service;
    QString m_account;
};

}  // namespace quorvelle
