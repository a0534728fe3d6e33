#include "Services/Backend/BackendInstallIDLookup.h"

#include "Services/Backend/APIKeyStoreError.h"

#include <QStringDecoder>

namespace quorvelle {

SecretItemInstallIDLookup::SecretItemInstallIDLookup(std::shared_ptr<SecretItemStoring> items, QString service,
                                                     QString account)
    : m_items(std::move(items)), m_service(std::move(service)), m_account(std::move(account)) {}

std::optional<QString> SecretItemInstallIDLookup::lookUpInstallID() const {
    const SecretItemReadResult result = m_items->copyItem(m_service, m_account);
    if (result.status == SecretItemStatus::itemNotFound) return std::nullopt;
    if (result.status != SecretItemStatus::success) throw APIKeyStoreError::unexpectedStatus(result.status);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(result.data);
    // Bytes that are no text cannot be a usable id; they are replaced like an empty item.
    if (decoder.hasError()) return std::nullopt;
    return text;
}

}  // namespace quorvelle
