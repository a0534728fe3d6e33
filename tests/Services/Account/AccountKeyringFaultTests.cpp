// The sign-in manager over a keyring that refuses or does not answer, which a real Secret Service
// cannot be made to do on demand.

#include "AccountSessionFixture.h"
#include "InMemoryKeyring.h"
#include "Support/JsonCoding.h"

namespace quorvelle::test {
namespace {

class AccountKeyringFaults : public AccountSessionFixture, public ::testing::Test {
protected:
    void SetUp() override {
        build(keyring);
        server.respond("POST", kPoll, approvedAnswer("access-1", "refresh-1"));
        server.respond("POST", kRegister, registeredAnswer("device-1"));
    }

    std::optional<qint32> storeFailure() {
        const auto error = failureOf<APIKeyStoreError>(manager->pollDeviceLogin(challenge()));
        return error ? std::optional(error->status()) : std::nullopt;
    }

    std::shared_ptr<InMemoryKeyring> keyring = std::make_shared<InMemoryKeyring>();
};

TEST_F(AccountKeyringFaults, AnUnansweredInstallIDReadNeverReplacesTheStoredID) {
    keyring->items.insert("install", "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    for (const qint32 status : {SecretItemStatus::notAvailable, SecretItemStatus::interactionNotAllowed,
                                SecretItemStatus::internalComponent}) {
        keyring->unansweredReads.insert("install", status);
        EXPECT_EQ(storeFailure(), status);
        EXPECT_THROW(manager->deviceFingerprintHash(), APIKeyStoreError);
    }
    EXPECT_TRUE(server.requestsTo(kRegister).isEmpty());
    EXPECT_TRUE(keyring->writes.isEmpty());
    EXPECT_EQ(keyring->items.value("install"), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");

    // Once the keyring answers again the sign-in goes through under the old fingerprint.
    keyring->unansweredReads.clear();
    EXPECT_EQ(poll(), (BackendDeviceLoginPollResult{"approved", true, "device-1"}));
    EXPECT_EQ(server.requestsTo(kRegister).at(0).jsonObject().value("device_fingerprint_hash").toString(),
              "df372267a49ef732812483722de9a13213275625563cd73a585b0359016ac3c3");
}

TEST_F(AccountKeyringFaults, AMissingEmptyOrUnreadableInstallIDIsReplacedOnce) {
    const struct {
        const char* why;
        std::optional<QByteArray> item;
    } cases[] = {
        {"no item", std::nullopt}, {"empty item", QByteArray("")}, {"not text", QByteArray("\xff\xfe\x80", 3)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        keyring->items.clear();
        if (c.item) keyring->items.insert("install", *c.item);
        const QString first = manager->installID();
        EXPECT_TRUE(json::uuidFromText(first).has_value() && first == first.toUpper());
        EXPECT_EQ(manager->installID(), first);
        EXPECT_EQ(keyring->items.value("install"), first.toUtf8());
    }
}

TEST_F(AccountKeyringFaults, ARefusedSaveKeepsWhatWasSavedBeforeIt) {
    const struct {
        const char* refused;
        QStringList expected;
        qsizetype registrations;
    } cases[] = {
        {"install", {"-", "-", "-"}, 0},
        {"access", {"-", "-", "-"}, 1},
        {"refresh", {"access-1", "-", "-"}, 2},
        {"device", {"access-1", "refresh-1", "-"}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        keyring->items.clear();
        keyring->refusedWrites = {{c.refused, SecretItemStatus::internalComponent}};
        EXPECT_EQ(storeFailure(), SecretItemStatus::internalComponent);
        EXPECT_EQ(stored(), c.expected);
        EXPECT_EQ(server.requestsTo(kRegister).size(), c.registrations);
        EXPECT_FALSE(manager->hasStoredSession());
    }
    // Nothing refused: install id first, then the credentials in their order.
    keyring->items.clear();
    keyring->writes.clear();
    keyring->refusedWrites.clear();
    poll();
    EXPECT_EQ(keyring->writes, QStringList({"install", "access", "refresh", "device"}));
}

TEST_F(AccountKeyringFaults, ARefusedSaveAfterRefreshReportsTheStoreFailure) {
    keyring->items.insert("refresh", "refresh-1");
    server.respond("POST", kRefresh,
                   FakeResponse::json(200, R"({"access_token":"access-2","refresh_token":"refresh-2"})"));
    keyring->refusedWrites.insert("refresh", SecretItemStatus::internalComponent);
    EXPECT_EQ(failureOf<APIKeyStoreError>(manager->refreshSession())->status(), SecretItemStatus::internalComponent);
    EXPECT_EQ(stored(), QStringList({"access-2", "refresh-1", "-"}));
}

TEST_F(AccountKeyringFaults, AFailedClearIsTheFailureOfTheSignOut) {
    keyring->items = {{"access", "a"}, {"refresh", "r"}, {"device", "d"}};
    keyring->refusedDeletes.insert("refresh", SecretItemStatus::interactionNotAllowed);
    server.respond("POST", kLogout, FakeResponse::json(200, "{}"));
    EXPECT_EQ(failureOf<APIKeyStoreError>(manager->signOut())->status(), SecretItemStatus::interactionNotAllowed);
    EXPECT_EQ(server.requestsTo(kLogout).size(), 1);
    EXPECT_EQ(stored(), QStringList({"-", "r", "d"}));
}

}  // namespace
}  // namespace quorvelle::test
