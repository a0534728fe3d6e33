#pragma once

#include "FakeBackendServer.h"
#include "TestEventLoop.h"

#include "Models/QuorvelleError.h"
#include "Services/Backend/BackendAPIClient.h"

#include <gtest/gtest.h>

#include <QNetworkAccessManager>

#include <memory>
#include <optional>

namespace quorvelle::test {

// The error a backend call ends with; none when it succeeds.
template <typename T>
std::optional<QuorvelleError> errorOf(QCoro::Task<T> task) {
    return failureOf<QuorvelleError>(std::move(task));
}

inline const char* caseName(QuorvelleErrorCase errorCase) {
    static const char* names[] = {
        "rateLimitedRetryAfter",
        "microphonePermissionDenied",
        "accessibilityPermissionDenied",
        "invalidAPIKey",
        "networkUnavailable",
        "requestTimedOut",
        "rateLimited",
        "providerTimeout",
        "providerUnavailable",
        "loginCodeAlreadyUsed",
        "noSpeechDetected",
        "sessionAlreadyActive",
        "unsupportedTarget",
        "unexpectedRuntimeFailure",
    };
    return names[static_cast<int>(errorCase)];
}

// A client of the fake server with the version headers set and a short idle time-out (the fake
// server answers at once unless told otherwise).
class BackendClientTest : public ::testing::Test {
protected:
    static BackendAPIClientOptions testOptions() {
        BackendAPIClientOptions options;
        options.appVersion = QStringLiteral("1.4.0");
        options.build = QStringLiteral("140");
        options.requestTimeout = std::chrono::seconds(10);
        options.uploadTimeout = std::chrono::seconds(10);
        return options;
    }

    std::unique_ptr<BackendAPIClient> makeClient(BackendAPIClientOptions options = testOptions()) {
        return std::make_unique<BackendAPIClient>(&manager, server.baseUrl(), std::move(options));
    }

    FakeBackendServer server;
    QNetworkAccessManager manager;
    std::unique_ptr<BackendAPIClient> client = makeClient();
};

}  // namespace quorvelle::test
