// The sign-in road, the real manager and client against the fake backend, over an in-memory keyring that
// can refuse or not answer, as a real Secret Service cannot be made to do.

#include "InMemoryKeyring.h"
#include "Models/QuorvelleError.h"
#include "Services/Backend/APIKeyStoreError.h"
#include "Services/Backend/BackendAPIClient.h"
#include "Services/Backend/BackendAuthSessionManager.h"
#include "Services/Backend/KeychainBackendTokenStore.h"
#include "Support/CancellationError.h"
#include "Support/FakeBackendServer.h"
#include "Support/JsonCoding.h"
#include "Support/TestEventLoop.h"
#include "ViewModel/BackendAuthMessages.h"

#include <gtest/gtest.h>

#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTimeZone>

namespace quorvelle::test {
namespace {

using Poll = BackendDeviceLoginPollResult;
const QStringList kNothing{"-", "-", "-"};
const QString kStart = "/v1/auth/device-login/start", kPoll = "/v1/auth/device-login/poll",
              kRegister = "/v1/devices/register", kRefresh = "/v1/auth/session/refresh", kLogout = "/v1/auth/logout";

FakeResponse approvedAnswer(const QByteArray& access, const QByteArray& refresh) {
    return FakeResponse::json(200, R"({"status":"approved","access_token":")" + access + R"(","refresh_token":")" +
                                       refresh + R"(","expires_at":"2026-05-01T10:00:00Z"})");
}

FakeResponse registeredAnswer(const QByteArray& deviceID) {
    return FakeResponse::json(201, R"({"status":"registered","device":{"id":")" + deviceID + R"("}})");
}

class AccountRoad : public ::testing::Test {
protected:
    AccountRoad() {
        BackendAPIClientOptions options;
        options.appVersion = "1.4.0";
        options.build = "140";
        QFile osRelease(osReleaseDir.filePath("os-release"));
        if (osRelease.open(QIODevice::WriteOnly)) osRelease.write("PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
        osRelease.close();
        // The first os-release that can be read counts.
        DeviceInformationReader::Options device{
            options.appVersion, options.build, {osReleaseDir.filePath("missing"), osRelease.fileName()}, [] {
                return QStringLiteral("test-host");
            }};
        manager = std::make_unique<BackendAuthSessionManager>(
            std::make_shared<BackendAPIClient>(&network, server.baseUrl(), options), tokens,
            std::make_shared<SecretItemInstallIDLookup>(keyring, service, "install"), DeviceInformationReader(device));
    }

    QuorvelleError invalidKey() const { return QuorvelleError(QuorvelleErrorCase::invalidAPIKey); }
    BackendAuthDeviceLoginChallenge challenge() const {
        return {"login-1", "secret-1", "ABCD-EFGH", QUrl("https://web.example.test/device"), std::nullopt};
    }
    Poll poll() { return runTask(manager->pollDeviceLogin(challenge())); }
    // Access token, refresh token, device id: what is stored, "-" for nothing.
    QStringList stored() const {
        return {tokens->accessToken().value_or("-"), tokens->refreshToken().value_or("-"),
                tokens->deviceID().value_or("-")};
    }

    const QString service = QStringLiteral("test.account");
    FakeBackendServer server;
    QNetworkAccessManager network;
    QTemporaryDir osReleaseDir;
    std::shared_ptr<InMemoryKeyring> keyring = std::make_shared<InMemoryKeyring>();
    std::shared_ptr<KeychainBackendTokenStore> tokens =
        std::make_shared<KeychainBackendTokenStore>(keyring, service, "access", "refresh", "device", "install");
    std::unique_ptr<BackendAuthSessionManager> manager;
};

TEST_F(AccountRoad, FromStartThroughAnApprovalToStoredCredentials) {
    server.respond(
        "POST", kStart,
        FakeResponse::json(200, R"({"device_login_id":"login-1","device_poll_secret":"secret-1",)"
                                R"("user_code":"ABCD-EFGH","verification_url":"https://web.example.test/device",)"
                                R"("expires_at":"2026-05-01T10:15:00Z"})"));
    server.respond("POST", kPoll, approvedAnswer("access-1", "refresh-1"));
    server.respond("POST", kRegister, registeredAnswer("device-1"));

    const BackendAuthDeviceLoginChallenge started = runTask(manager->startDeviceLogin());
    EXPECT_EQ(started, (BackendAuthDeviceLoginChallenge{
                           "login-1", "secret-1", "ABCD-EFGH", QUrl("https://web.example.test/device"),
                           QDateTime(QDate(2026, 5, 1), QTime(10, 15), QTimeZone::utc())}));
    const QJsonObject startBody = server.requestsTo(kStart).at(0).jsonObject();
    EXPECT_EQ(startBody, (QJsonObject{{"device_name", "test-host"},
                                      {"os_version", "Debian GNU/Linux 12 (bookworm)"},
                                      {"app_version", "1.4.0"},
                                      {"build", "140"}}));
    EXPECT_EQ(runTask(manager->pollDeviceLogin(started)), (Poll{"approved", true, "device-1"}));
    EXPECT_EQ(stored(), QStringList({"access-1", "refresh-1", "device-1"}));
    EXPECT_EQ(keyring->writes, QStringList({"install", "access", "refresh", "device"}));
    EXPECT_TRUE(manager->hasStoredSession());

    const RecordedRequest lastPoll = server.requestsTo(kPoll).at(0);
    EXPECT_EQ(lastPoll.jsonObject(), (QJsonObject{{"device_login_id", "login-1"}, {"device_poll_secret", "secret-1"}}));
    EXPECT_FALSE(lastPoll.hasHeader("Authorization") || server.requests().at(0).hasHeader("Authorization"));
    const QList<RecordedRequest> registrations = server.requestsTo(kRegister);
    ASSERT_EQ(registrations.size(), 1);
    EXPECT_EQ(registrations[0].header("Authorization"), "Bearer access-1");
    QJsonObject expectedRegistration = startBody;
    expectedRegistration.insert("device_fingerprint_hash", deviceFingerprintHash(tokens->installID().value_or("-")));
    EXPECT_EQ(registrations[0].jsonObject(), expectedRegistration);
}

TEST_F(AccountRoad, EndingAnswersStoreNothing) {
    server.respond("POST", kPoll, FakeResponse::json(409, R"({"status":"consumed"})"));
    EXPECT_EQ(failureOf<QuorvelleError>(manager->pollDeviceLogin(challenge())),
              QuorvelleError(QuorvelleErrorCase::loginCodeAlreadyUsed));
    // Other statuses reach the caller unchanged; "approved" without both tokens (an empty one is none)
    // is no approval.
    const std::pair<QByteArray, QString> answers[] = {
        {R"({"status":"expired"})", "expired"},
        {R"({"status":"Approved"})", "Approved"},
        {R"({"status":"approved","access_token":"a"})", "pending"},
        {R"({"status":"approved","access_token":"a","refresh_token":null})", "pending"},
        {R"({"status":"approved","access_token":"a","refresh_token":""})", "pending"},
    };
    for (const auto& [body, status] : answers) {
        server.clearScript();
        server.respond("POST", kPoll, FakeResponse::json(200, body));
        EXPECT_EQ(poll(), (Poll{status, false, std::nullopt})) << body.toStdString();
    }
    EXPECT_TRUE(server.requestsTo(kRegister).isEmpty());
    EXPECT_EQ(stored(), kNothing);
    EXPECT_FALSE(tokens->installID().has_value());
}

TEST_F(AccountRoad, RefreshReplacesBothTokensAndAFailedOneChangesNothingItCouldKeep) {
    tokens->saveAccessToken("");
    tokens->saveRefreshToken("refresh-1");
    server.respond("POST", kRefresh,
                   FakeResponse::json(200, R"({"access_token":"access-2","refresh_token":"refresh-2"})"));
    server.respond("POST", kRefresh, FakeResponse::json(401, R"({"title":"expired"})"));
    server.respond("POST", kRefresh,
                   FakeResponse::json(200, R"({"access_token":"access-3","refresh_token":"refresh-3"})"));

    // An empty access token is as good as none: one refresh; then the stored one is handed out.
    EXPECT_EQ(runTask(manager->validAccessToken()), "access-2");
    EXPECT_EQ(runTask(manager->validAccessToken()), "access-2");
    ASSERT_EQ(server.requestsTo(kRefresh).size(), 1);
    EXPECT_EQ(server.requestsTo(kRefresh).at(0).jsonObject(), (QJsonObject{{"refresh_token", "refresh-1"}}));
    EXPECT_EQ(stored(), QStringList({"access-2", "refresh-2", "-"}));

    EXPECT_EQ(failureOf<QuorvelleError>(manager->refreshSession()), invalidKey());
    EXPECT_EQ(stored(), QStringList({"access-2", "refresh-2", "-"}));
    // A keyring that refuses the new refresh token: the store's failure is the refresh's.
    keyring->refusedWrites.insert("refresh", SecretItemStatus::internalComponent);
    EXPECT_EQ(failureOf<APIKeyStoreError>(manager->refreshSession())->status(), SecretItemStatus::internalComponent);
    EXPECT_EQ(stored(), QStringList({"access-3", "refresh-2", "-"}));

    keyring->refusedWrites.clear();
    tokens->clearSession();
    tokens->saveRefreshToken("");
    server.clearRequests();
    EXPECT_EQ(failureOf<QuorvelleError>(manager->validAccessToken()), invalidKey());
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(AccountRoad, AFailedRegistrationOrASignOutClearsTheSessionButKeepsTheFingerprint) {
    server.respond("POST", kPoll, approvedAnswer("access-1", "refresh-1"));
    server.respond("POST", kRegister, FakeResponse::json(401, R"({"title":"Unauthorized"})"));
    server.respond("POST", kRegister, registeredAnswer("device-2"));
    server.respond("POST", kLogout, FakeResponse::json(500, R"({"title":"down"})"));

    EXPECT_EQ(failureOf<QuorvelleError>(manager->pollDeviceLogin(challenge())), invalidKey());
    EXPECT_EQ(stored(), kNothing);
    EXPECT_FALSE(manager->hasStoredSession());
    const QString fingerprint = manager->deviceFingerprintHash();

    EXPECT_EQ(poll(), (Poll{"approved", true, "device-2"}));
    const QList<RecordedRequest> registrations = server.requestsTo(kRegister);
    ASSERT_EQ(registrations.size(), 2);
    for (const RecordedRequest& registration : registrations)
        EXPECT_EQ(registration.jsonObject().value("device_fingerprint_hash"), fingerprint);

    // The backend's failure to log out does not stop the local sign-out.
    runTask(manager->signOut());
    EXPECT_EQ(stored(), kNothing);
    EXPECT_FALSE(manager->hasStoredSession());
    EXPECT_EQ(manager->deviceFingerprintHash(), fingerprint);

    runTask(manager->signOut());
    const QList<RecordedRequest> logouts = server.requestsTo(kLogout);
    ASSERT_EQ(logouts.size(), 1);
    EXPECT_EQ(logouts[0].header("Authorization"), "Bearer access-1");
    EXPECT_TRUE(logouts[0].body.isEmpty());
}

TEST_F(AccountRoad, AStopBeforeTheCallSendsNothingAndAnApprovalArrivingAfterItStoresNothing) {
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_THROW(runTask(manager->startDeviceLogin(stopped.get_token())), CancellationError);
    EXPECT_THROW(runTask(manager->signOut(stopped.get_token())), CancellationError);
    EXPECT_TRUE(server.requests().isEmpty());

    server.respond("POST", kPoll, approvedAnswer("access-1", "refresh-1"));
    server.respond("POST", kRegister, registeredAnswer("device-1"));
    std::stop_source stop;
    QObject::connect(&server, &FakeBackendServer::requestReceived,
                     [stop](const RecordedRequest&) { std::stop_source(stop).request_stop(); });
    EXPECT_THROW(runTask(manager->pollDeviceLogin(challenge(), stop.get_token())), CancellationError);
    EXPECT_EQ(stored(), kNothing);
    EXPECT_TRUE(server.requestsTo(kRegister).isEmpty());
}

class AccountKeyringFaults : public AccountRoad {
protected:
    void SetUp() override {
        server.respond("POST", kPoll, approvedAnswer("access-1", "refresh-1"));
        server.respond("POST", kRegister, registeredAnswer("device-1"));
    }
    std::optional<qint32> storeFailure() {
        const auto error = failureOf<APIKeyStoreError>(manager->pollDeviceLogin(challenge()));
        return error ? std::optional(error->status()) : std::nullopt;
    }
};

// An absent or locked keyring is found before the backend is asked for a sign-in, whose approval could
// not be stored, and the message says so.
TEST_F(AccountKeyringFaults, AnUnansweredKeyringStopsTheSignInFirstAndNeverReplacesTheStoredID) {
    keyring->items.insert("install", "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    for (const qint32 status : {SecretItemStatus::notAvailable, SecretItemStatus::interactionNotAllowed,
                                SecretItemStatus::internalComponent}) {
        keyring->unansweredReads.insert("install", status);
        EXPECT_EQ(storeFailure(), status);
        const auto startFailure = failureOf<APIKeyStoreError>(manager->startDeviceLogin());
        EXPECT_EQ(startFailure.value().status(), status);
        for (const auto& [language, reason] :
             {std::pair("en", "keyring is unavailable"), std::pair("tr", "anahtarlık")})
            EXPECT_TRUE(backend_auth_messages::error(AppStrings(language), "x", std::make_exception_ptr(*startFailure),
                                                     server.baseUrl().toString())
                            .contains(QString::fromUtf8(reason)));
    }
    EXPECT_TRUE(server.requestsTo(kRegister).isEmpty() && server.requestsTo(kStart).isEmpty());
    EXPECT_TRUE(keyring->writes.isEmpty());
    EXPECT_EQ(keyring->items.value("install"), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");

    keyring->unansweredReads.clear();
    EXPECT_EQ(poll(), (Poll{"approved", true, "device-1"}));
    EXPECT_EQ(server.requestsTo(kRegister).at(0).jsonObject().value("device_fingerprint_hash").toString(),
              "df372267a49ef732812483722de9a13213275625563cd73a585b0359016ac3c3");
}

// A locked or absent keyring is told apart from one that holds no session.
TEST_F(AccountKeyringFaults, AnUnreadableKeyringIsToldApartFromNoSession) {
    EXPECT_FALSE(manager->isKeyringUnavailable());
    keyring->items = {{"access", "a"}, {"device", "d"}};
    for (const qint32 status : {SecretItemStatus::notAvailable, SecretItemStatus::interactionNotAllowed}) {
        keyring->unansweredReads.insert("access", status);
        EXPECT_FALSE(manager->hasStoredSession());
        EXPECT_TRUE(manager->isKeyringUnavailable());
    }
}

TEST_F(AccountKeyringFaults, AMissingEmptyOrUnreadableInstallIDIsReplacedOnce) {
    for (const auto& item :
         {std::optional<QByteArray>(), std::optional(QByteArray("")), std::optional(QByteArray("\xff\xfe\x80", 3))}) {
        keyring->items.clear();
        if (item) keyring->items.insert("install", *item);
        const QString first = manager->installID();
        EXPECT_TRUE(json::uuidFromText(first).has_value() && first == first.toUpper());
        EXPECT_EQ(manager->installID(), first);
        EXPECT_EQ(keyring->items.value("install"), first.toUtf8());
    }
}

TEST_F(AccountKeyringFaults, ARefusedSaveKeepsWhatWasSavedBeforeIt) {
    const std::tuple<QString, QStringList, qsizetype> cases[] = {
        {"install", {"-", "-", "-"}, 0},
        {"access", {"-", "-", "-"}, 1},
        {"refresh", {"access-1", "-", "-"}, 2},
        {"device", {"access-1", "refresh-1", "-"}, 3},
    };
    for (const auto& [refused, expected, registrations] : cases) {
        SCOPED_TRACE(refused.toStdString());
        keyring->items.clear();
        keyring->refusedWrites = {{refused, SecretItemStatus::internalComponent}};
        EXPECT_EQ(storeFailure(), SecretItemStatus::internalComponent);
        EXPECT_EQ(stored(), expected);
        EXPECT_EQ(server.requestsTo(kRegister).size(), registrations);
        EXPECT_FALSE(manager->hasStoredSession());
    }
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
