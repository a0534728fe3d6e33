#include "Services/Account/InMemoryKeyring.h"
#include "Services/Backend/KeychainBackendTokenStore.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

TEST(KeychainBackendTokenStoreTests, ReadsFoldEveryFailureIntoAbsence) {
    auto items = std::make_shared<test::InMemoryKeyring>();
    items->items = {{"quorvelle.backend.access-token", "access-1"},
                    {"quorvelle.backend.refresh-token", QByteArray("\xff\xfe", 2)},
                    {"quorvelle.backend.device-id", "device-1"}};
    items->unansweredReads.insert("quorvelle.backend.device-id", SecretItemStatus::interactionNotAllowed);
    const KeychainBackendTokenStore store = KeychainBackendTokenStore::standard(items);

    EXPECT_EQ(store.accessToken(), QStringLiteral("access-1"));
    EXPECT_EQ(store.refreshToken(), std::nullopt);  // not UTF-8
    EXPECT_EQ(store.deviceID(), std::nullopt);      // keyring refused
    EXPECT_EQ(store.installID(), std::nullopt);     // no item
}

}  // namespace
}  // namespace quorvelle
