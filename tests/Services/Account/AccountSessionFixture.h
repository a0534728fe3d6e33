#pragma once

// A sign-in manager wired for real to a backend client, the fake backend server and a token store
// over a secret item store.

#include "FakeBackendServer.h"
#include "TestEventLoop.h"

#include "Models/QuorvelleError.h"
#include "Services/Backend/APIKeyStoreError.h"
#include "Services/Backend/BackendAPIClient.h"
#include "Services/Backend/BackendAuthSessionManager.h"
#include "Services/Backend/KeychainBackendTokenStore.h"

#include <gtest/gtest.h>

#include <QNetworkAccessManager>
#include <QTemporaryDir>

namespace quorvelle::test {

inline const QString kStart = QStringLiteral("/v1/auth/device-login/start");
inline const QString kPoll = QStringLiteral("/v1/auth/device-login/poll");
inline const QString kRegister = QStringLiteral("/v1/devices/register");
inline const QString kRefresh = QStringLiteral("/v1/auth/session/refresh");
inline const QString kLogout = QStringLiteral("/v1/auth/logout");

inline FakeResponse approvedAnswer(const QByteArray& access, const QByteArray& refresh) {
    return FakeResponse::json(200, R"({"status":"approved","access_token":")" + access + R"(","refresh_token":")" +
                                       refresh + R"(","expires_at":"2026-05-01T10:00:00Z"})");
}

inline FakeResponse registeredAnswer(const QByteArray& deviceID) {
    return FakeResponse::json(201, R"({"status":"registered","device":{"id":")" + deviceID + R"("}})");
}

class AccountSessionFixture {
protected:
    void build(std::shared_ptr<SecretItemStoring> itemStore) {
        items = std::move(itemStore);
        tokens = std::make_shared<KeychainBackendTokenStore>(items, service, "access", "refresh", "device", "install");
        BackendAPIClientOptions options;
        options.appVersion = "1.4.0";
        options.build = "140";
        auto client = std::make_shared<BackendAPIClient>(&network, server.baseUrl(), options);

        QFile osRelease(osReleaseDir.filePath("os-release"));
        if (osRelease.open(QIODevice::WriteOnly)) osRelease.write("PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
        osRelease.close();
        // The first os-release that can be read counts.
        const auto host = [] { return QStringLiteral("test-host"); };
        DeviceInformationReader::Options device{
            options.appVersion, options.build, {osReleaseDir.filePath("missing"), osRelease.fileName()}, host};
        manager = std::make_unique<BackendAuthSessionManager>(
            client, tokens, std::make_shared<SecretItemInstallIDLookup>(items, service, "install"),
            DeviceInformationReader(device));
    }

    // The desktop keyring outlives the test: its items go, whatever the test left.
    void removeItems() {
        if (!items) return;
        for (const char* account : {"access", "refresh", "device", "install"})
            items->deleteItem(service, QString::fromLatin1(account));
    }

    BackendAuthDeviceLoginChallenge challenge() const {
        return {"login-1", "secret-1", "ABCD-EFGH", QUrl("https://web.example.test/device"), std::nullopt};
    }

    BackendDeviceLoginPollResult poll() { return runTask(manager->pollDeviceLogin(challenge())); }

    // Access token, refresh token, device id: what is stored, "-" for nothing.
    QStringList stored() const {
        return {tokens->accessToken().value_or("-"), tokens->refreshToken().value_or("-"),
                tokens->deviceID().value_or("-")};
    }

    const QString service = QStringLiteral("test.account");
    FakeBackendServer server;
    QNetworkAccessManager network;
    QTemporaryDir osReleaseDir;
    std::shared_ptr<SecretItemStoring> items;
    std::shared_ptr<KeychainBackendTokenStore> tokens;
    std::unique_ptr<BackendAuthSessionManager> manager;
};

}  // namespace quorvelle::test
