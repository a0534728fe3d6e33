#pragma once

#include "App/BuildKeys.h"

#include <QProcessEnvironment>
#include <QString>
#include <QUrl>

#include <optional>
#include <stdexcept>

namespace quorvelle {

// A configured address that is no usable web address. The message names the setting and the value.
class AppConfigurationError : public std::runtime_error {
public:
    explicit AppConfigurationError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// The backend and public web addresses and the build identity. Each address comes from the process
// environment, else from the build, else from a default: the local development servers under a test
// run, the production services otherwise.
class AppConfiguration {
public:
    static constexpr const char* backendBaseURLKey = "QUORVELLE_BACKEND_BASE_URL";
    static constexpr const char* publicWebURLKey = "QUORVELLE_PUBLIC_WEB_URL";
    // Present (with any value) in the environment of a test run.
    static constexpr const char* testRunKey = "QUORVELLE_TEST_RUN";

    static QString localBackendBaseURL();
    static QString localPublicWebURL();
    static QString productionBackendBaseURL();
    static QString productionPublicWebURL();

    AppConfiguration(QProcessEnvironment environment, BuildKeys buildKeys, bool isTestRun);

    // This process: its environment now, this build's keys, and the test-run rule (decided once).
    static AppConfiguration current();
    static bool isRunningUnitTests();

    // The environment's value trimmed, else the build's value trimmed unless it is an unexpanded
    // "$(...)" placeholder; none when both are empty.
    std::optional<QString> configuredValue(const QString& environmentKey, const QString& buildValue) const;

    QString backendBaseURLString() const;
    QString publicWebURLString() const;
    // The resolved strings as addresses: absolute http or https with a host, else AppConfigurationError.
    QUrl backendBaseURL() const;
    QUrl publicWebURL() const;

    // "Local", "Production" or "Custom".
    QString identityLabel() const;
    static QString identityLabel(const QString& publicWebURL, const QString& backendBaseURL);

    // "0" where the build wrote none.
    QString shortVersion() const;
    QString buildNumber() const;

private:
    QProcessEnvironment m_environment;
    BuildKeys m_buildKeys;
    bool m_isTestRun;
};

}  // namespace quorvelle
