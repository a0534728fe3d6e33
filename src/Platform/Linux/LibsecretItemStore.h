#pragma once

#include "Services/Backend/SecretItemStoring.h"

namespace quorvelle {

// Secret items in the desktop's Secret Service (gnome-keyring, KWallet ...) through libsecret: one
// item per account, with the attributes service and account, in the default collection. Every call is
// synchronous D-Bus traffic.
class LibsecretItemStore : public SecretItemStoring {
public:
    SecretItemReadResult copyItem(const QString& service, const QString& account) override;
    qint32 addItem(const QString& service, const QString& account, const QByteArray& data) override;
    qint32 updateItem(const QString& service, const QString& account, const QByteArray& data) override;
    qint32 deleteItem(const QString& service, const QString& account) override;
};

}  // namespace quorvelle
