#include "Services/Backend/APIKeyStoreError.h"
#include "Services/Backend/KeychainBackendTokenStore.h"

#include <gtest/gtest.h>

#include <QMap>

namespace quorvelle {
namespace {

// An item store in memory that can refuse any operation on any account, as a locked or broken
// keyring would.
class FakeSecretItemStore : public SecretItemStoring {
public:
    QMap<QString, QByteArray> items;  // "service/account" -> data
    QMap<QString, qint32> refusals;   // "operation account" -> status
    QStringList calls;                // "operation account", in order

    SecretItemReadResult copyItem(const QString& service, const QString& account) override {
        if (const auto refusal = refused("copy", account)) return {*refusal, {}};
        const auto found = items.find(key(service, account));
        if (found == items.end()) return {SecretItemStatus::itemNotFound, {}};
        return {SecretItemStatus::success, *found};
    }
    qint32 addItem(const QString& service, const QString& account, const QByteArray& data) override {
        if (const auto refusal = refused("add", account)) return *refusal;
        if (items.contains(key(service, account))) return SecretItemStatus::duplicateItem;
        items.insert(key(service, account), data);
        return SecretItemStatus::success;
    }
    qint32 updateItem(const QString& service, const QString& account, const QByteArray& data) override {
        if (const auto refusal = refused("update", account)) return *refusal;
        if (!items.contains(key(service, account))) return SecretItemStatus::itemNotFound;
        items.insert(key(service, account), data);
        return SecretItemStatus::success;
    }
    qint32 deleteItem(const QString& service, const QString& account) override {
        if (const auto refusal = refused("delete", account)) return *refusal;
        return items.remove(key(service, account)) > 0 ? SecretItemStatus::success : SecretItemStatus::itemNotFound;
    }

    static QString key(const QString& service, const QString& account) { return service + '/' + account; }

private:
    std::optional<qint32> refused(const char* operation, const QString& account) {
        const QString call = QString::fromLatin1(operation) + ' ' + account;
        calls.append(call);
        if (refusals.contains(call)) return refusals.value(call);
        return std::nullopt;
    }
};

const QString kAccess = QStringLiteral("quorvelle.backend.access-token");
const QString kRefresh = QStringLiteral("quorvelle.backend.refresh-token");
const QString kDevice = QStringLiteral("quorvelle.backend.device-id");
const QString kService = QStringLiteral("com.dovent.Quorvelle");

class KeychainBackendTokenStoreTests : public ::testing::Test {
protected:
    std::shared_ptr<FakeSecretItemStore> items = std::make_shared<FakeSecretItemStore>();
    KeychainBackendTokenStore store = KeychainBackendTokenStore::standard(items);

    void put(const QString& account, const QByteArray& data) { items->items.insert(FakeSecretItemStore::key(kService, account), data); }
    bool has(const QString& account) const { return items->items.contains(FakeSecretItemStore::key(kService, account)); }

    qint32 statusOfSave(const std::function<void()>& save) {
        try {
            save();
        } catch (const APIKeyStoreError& error) {
            return error.status();
        }
        return SecretItemStatus::success;
    }
};

TEST_F(KeychainBackendTokenStoreTests, ReadsFoldEveryFailureIntoAbsence) {
    put(kAccess, "access-1");
    put(kRefresh, QByteArray("\xff\xfe", 2));
    put(kDevice, "device-1");
    items->refusals.insert("copy " + kDevice, SecretItemStatus::interactionNotAllowed);

    EXPECT_EQ(store.accessToken(), QStringLiteral("access-1"));
    EXPECT_EQ(store.refreshToken(), std::nullopt);  // not UTF-8
    EXPECT_EQ(store.deviceID(), std::nullopt);      // keyring refused
    EXPECT_EQ(store.installID(), std::nullopt);     // no item
}


TEST_F(KeychainBackendTokenStoreTests, RefusedSavesThrowTheStoreStatus) {
    items->refusals.insert("add " + kAccess, SecretItemStatus::interactionNotAllowed);
    EXPECT_EQ(statusOfSave([this] { store.saveAccessToken("a"); }), SecretItemStatus::interactionNotAllowed);

    put(kRefresh, "old");
    items->refusals.insert("update " + kRefresh, SecretItemStatus::notAvailable);
    EXPECT_EQ(statusOfSave([this] { store.saveRefreshToken("new"); }), SecretItemStatus::notAvailable);
    EXPECT_EQ(store.refreshToken(), QStringLiteral("old"));
}


TEST_F(KeychainBackendTokenStoreTests, ARefusedDeleteStopsTheClearAtOnce) {
    for (const QString& account : {kAccess, kRefresh, kDevice}) put(account, "v");
    items->refusals.insert("delete " + kRefresh, SecretItemStatus::internalComponent);
    EXPECT_EQ(statusOfSave([this] { store.clearSession(); }), SecretItemStatus::internalComponent);
    EXPECT_FALSE(has(kAccess));
    EXPECT_TRUE(has(kRefresh));
    EXPECT_TRUE(has(kDevice));
    EXPECT_FALSE(items->calls.contains("delete " + kDevice));
}

}  // namespace
}  // namespace quorvelle
