#pragma once

#include <QByteArray>
#include <QString>

namespace quorvelle {

// Status codes of secret item operations. They keep the keychain's own numbers so that a refused
// write reports the same figure on every platform.
namespace SecretItemStatus {
inline constexpr qint32 success = 0;
inline constexpr qint32 duplicateItem = -25299;
inline constexpr qint32 itemNotFound = -25300;
inline constexpr qint32 notAvailable = -25291;           // no secret service to talk to
inline constexpr qint32 interactionNotAllowed = -25308;  // the keyring is locked
inline constexpr qint32 internalComponent = -2070;       // any other failure
}  // namespace SecretItemStatus

struct SecretItemReadResult {
    qint32 status = SecretItemStatus::itemNotFound;
    QByteArray data;
};

// Generic password items of the user's keyring, addressed by a service and an account name.
// Each operation is one synchronous call and answers a status instead of throwing.
class SecretItemStoring {
public:
    virtual ~SecretItemStoring() = default;

    virtual SecretItemReadResult copyItem(const QString& service, const QString& account) = 0;
    // duplicateItem when an item of that service and account exists already.
    virtual qint32 addItem(const QString& service, const QString& account, const QByteArray& data) = 0;
    // Replaces the data of an existing item; itemNotFound when there is none.
    virtual qint32 updateItem(const QString& service, const QString& account, const QByteArray& data) = 0;
    // itemNotFound when there is none.
    virtual qint32 deleteItem(const QString& service, const QString& account) = 0;
};

}  // namespace quorvelle
