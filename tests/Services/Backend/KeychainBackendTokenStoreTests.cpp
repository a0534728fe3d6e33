#include "Services/Backend/KeychainBackendTokenStore.h"

#include <gtest/gtest.h>

#include <QMap>

namespace quorvelle {
namespace {

// Items in memory; a read of a refused account fails as a locked keyring's would.
class ReadOnlySecretItemStore : public SecretItemStoring {
public:
    QMap<QString, QByteArray> items;  // account -> data
    QMap<QString, qint32> refusedReads;

    SecretItemReadResult copyItem(const QString&, const QString& account) override {
        if (refusedReads.contains(account)) return {refusedReads.value(account), {}};
        if (!items.contains(account)) return {SecretItemStatus::itemNotFound, {}};
        return {SecretItemStatus::success, items.value(account)};
    }
    qint32 addItem(const QString&, const QString&, const QByteArray&) override {
        return SecretItemStatus::notAvailable;
    }
    qint32 updateItem(const QString&, const QString&, const QByteArray&) override {
        return SecretItemStatus::notAvailable;
    }
    qint32 deleteItem(const QString&, const QString&) override { return SecretItemStatus::notAvailable; }
};

TEST(KeychainBackendTokenStoreTests, ReadsFoldEveryFailureIntoAbsence) {
    auto items = std::make_shared<ReadOnlySecretItemStore>();
    items->items = {{"quorvelle.backend.access-token", "access-1"},
                    {"quorvelle.backend.refresh-token", QByteArray("\xff\xfe", 2)},
                    {"quorvelle.backend.device-id", "device-1"}};
    items->refusedReads.insert("quorvelle.backend.device-id", SecretItemStatus::interactionNotAllowed);
    const KeychainBackendTokenStore store = KeychainBackendTokenStore::standard(items);

    EXPECT_EQ(store.accessToken(), QStringLiteral("access-1"));
    EXPECT_EQ(store.refreshToken(), std::nullopt);  // not UTF-8
    EXPECT_EQ(store.deviceID(), std::nullopt);      // keyring refused
    EXPECT_EQ(store.installID(), std::nullopt);     // no item
}

}  // namespace
}  // namespace quorvelle
