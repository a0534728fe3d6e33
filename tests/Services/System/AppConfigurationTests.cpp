#include "App/AppConfiguration.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

AppConfiguration withBackend(std::optional<QString> environment, const QString& buildKey, bool testRun = false) {
    QProcessEnvironment values;
    if (environment) values.insert(AppConfiguration::backendBaseURLKey, *environment);
    return AppConfiguration(values, BuildKeys{buildKey, {}, {}, {}}, testRun);
}

TEST(AppConfiguration, EnvironmentOverBuildKeysOverDefaults) {
    const struct {
        std::optional<QString> environment;
        QString buildKey;
        bool testRun;
        QString expected;
    } cases[] = {
        {" \n https://env.test\t", "https://build.test", false, "https://env.test"},
        {"   ", "\n https://build.test ", false, "https://build.test"},
        {"$(BACKEND)", "", false, "$(BACKEND)"},  // no placeholder test on the environment
        {std::nullopt, "$(QUORVELLE_BACKEND_BASE_URL)", false, AppConfiguration::productionBackendBaseURL()},
        {std::nullopt, "$(open", false, "$(open"},
        {std::nullopt, " ", true, AppConfiguration::localBackendBaseURL()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withBackend(c.environment, c.buildKey, c.testRun).backendBaseURLString(), c.expected)
            << c.buildKey.toStdString();
    }
    EXPECT_EQ(AppConfiguration({}, {}, false).publicWebURLString(), AppConfiguration::productionPublicWebURL());
    EXPECT_EQ(AppConfiguration({}, {}, false).identityLabel(), "Production");
    EXPECT_EQ(withBackend("https://other.test", {}, true).identityLabel(), "Custom");
    const AppConfiguration built({}, BuildKeys{{}, {}, "1.4.2", " "}, false);
    EXPECT_EQ(std::pair(built.shortVersion(), built.buildNumber()), std::pair(QString("1.4.2"), QString("0")));

    // The test main marks this process as a test run; unconfigured, it talks to the local servers.
    qunsetenv(AppConfiguration::backendBaseURLKey);
    qunsetenv(AppConfiguration::publicWebURLKey);
    EXPECT_EQ(AppConfiguration::current().identityLabel(), "Local");
}

TEST(AppConfiguration, AnUnusableAddressIsAClearErrorNamingTheSetting) {
    for (const char* text : {"not an address", "ftp://files.test", "https://", "http://exa mple.test"}) {
        try {
            withBackend(QString::fromLatin1(text), {}).backendBaseURL();
            ADD_FAILURE() << text << " was accepted";
        } catch (const AppConfigurationError& error) {
            EXPECT_TRUE(error.message().contains("QUORVELLE_BACKEND_BASE_URL") && error.message().contains(text));
        }
    }
    EXPECT_EQ(withBackend("http://127.0.0.1:8080/api", {}).backendBaseURL(), QUrl("http://127.0.0.1:8080/api"));
}

}  // namespace
}  // namespace quorvelle
