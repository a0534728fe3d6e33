#include "Services/Backend/KeychainBackendTokenStore.h"

#include "Services/Backend/APIKeyStoreError.h"

#include <QStringDecoder>

namespace quorvelle {

KeychainBackendTokenStore::KeychainBackendTokenStore(std::shared_ptr<SecretItemStoring> items, QString service,
                                                     QString accessTokenAccount, QString refreshTokenAccount,
                                                     QString deviceIDAccount, QString installIDAccount)
    : m_items(std::move(items)),
      m_service(std::move(service)),
      m_accessTokenAccount(std::move(accessTokenAccount)),
      m_refreshTokenAccount(std::move(refreshTokenAccount)),
      m_deviceIDAccount(std::move(deviceIDAccount)),
      m_installIDAccount(std::move(installIDAccount)) {}

KeychainBackendTokenStore KeychainBackendTokenStore::standard(std::shared_ptr<SecretItemStoring> items) {
    return KeychainBackendTokenStore(
        std::move(items), QStringLiteral("com.dovent.Quorvelle"), QStringLiteral("quorvelle.backend.access-token"),
        QStringLiteral("quorvelle.backend.refresh-token"), QStringLiteral("quorvelle.backend.device-id"),
        QStringLiteral("quorvelle.backend.install-id"));
}

bool KeychainBackendTokenStore::isKeyringUnavailable() const {
    const qint32 status = m_items->copyItem(m_service, m_accessTokenAccount).status;
    return status != SecretItemStatus::success && status != SecretItemStatus::itemNotFound;
}

std::optional<QString> KeychainBackendTokenStore::readValue(const QString& account) const {
    {
        const std::lock_guard lock(m_kept->mutex);
        if (const auto kept = m_kept->values.constFind(account); kept != m_kept->values.cend()) return *kept;
    }
    const SecretItemReadResult result = m_items->copyItem(m_service, account);
    if (result.status != SecretItemStatus::success) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(result.data);
    if (decoder.hasError()) return std::nullopt;
    const std::lock_guard lock(m_kept->mutex);
    m_kept->values.insert(account, text);
    return text;
}

void KeychainBackendTokenStore::saveValue(const QString& value, const QString& account) {
    const QByteArray data = value.toUtf8();
    // Whatever the keyring answers, the kept value may no longer be what it holds.
    forget({account});
    qint32 status = m_items->addItem(m_service, account, data);
    if (status == SecretItemStatus::duplicateItem) status = m_items->updateItem(m_service, account, data);
    if (status != SecretItemStatus::success) throw APIKeyStoreError::unexpectedStatus(status);
    const std::lock_guard lock(m_kept->mutex);
    m_kept->values.insert(account, value);
}

void KeychainBackendTokenStore::forget(const QStringList& accounts) {
    const std::lock_guard lock(m_kept->mutex);
    for (const QString& account : accounts)
        m_kept->values.remove(account);
}

void KeychainBackendTokenStore::clearSession() {
    forget({m_accessTokenAccount, m_refreshTokenAccount, m_deviceIDAccount});
    for (const QString& account : {m_accessTokenAccount, m_refreshTokenAccount, m_deviceIDAccount}) {
        const qint32 status = m_items->deleteItem(m_service, account);
        if (status != SecretItemStatus::success && status != SecretItemStatus::itemNotFound) {
            throw APIKeyStoreError::unexpectedStatus(status);
        }
    }
}

}  // namespace quorvelle
