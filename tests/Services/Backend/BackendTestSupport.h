#pragma once

#include "FakeBackendServer.h"
#include "TestEventLoop.h"

#include "Models/QuorvelleError.h"
#include "Services/Backend/BackendAPIClient.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QNetworkAccessManager>

namespace quorvelle::test {

using Case = QuorvelleErrorCase;
inline const QString kRefreshPath = QStringLiteral("/v1/auth/session/refresh");

inline QJsonObject jsonObject(const QByteArray& text) {
    return QJsonDocument::fromJson(text).object();
}

template <typename T>
std::optional<QuorvelleError> errorOf(QCoro::Task<T> task) {
    return failureOf<QuorvelleError>(std::move(task));
}

// A client of the fake server with the version headers set.
class BackendClientTest : public ::testing::Test {
protected:
    static BackendAPIClientOptions testOptions() {
        BackendAPIClientOptions options;
        options.appVersion = QStringLiteral("1.4.0");
        options.build = QStringLiteral("140");
        return options;
    }
    std::unique_ptr<BackendAPIClient> makeClient(BackendAPIClientOptions options = testOptions()) {
        return std::make_unique<BackendAPIClient>(&manager, server.baseUrl(), std::move(options));
    }
    std::optional<QuorvelleError> refreshFailure() { return errorOf(client->refreshSession(QStringLiteral("r"))); }
    void answerRefresh(const FakeResponse& response) {
        server.clearScript();
        server.respond("POST", kRefreshPath, response);
    }

    FakeBackendServer server;
    QNetworkAccessManager manager;
    std::unique_ptr<BackendAPIClient> client = makeClient();
};

}  // namespace quorvelle::test
