#include "App/AppConfiguration.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

AppConfiguration configuration(std::initializer_list<std::pair<QString, QString>> environment, BuildKeys keys,
                               bool testRun) {
    QProcessEnvironment values;
    for (const auto& [key, value] : environment)
        values.insert(key, value);
    return AppConfiguration(values, std::move(keys), testRun);
}

TEST(AppConfiguration, EnvironmentOverBuildKeysOverDefaults) {
    const QString env = QLatin1String(AppConfiguration::backendBaseURLKey);
    const struct {
        const char* name;
        std::optional<QString> environment;
        QString buildKey;
        bool testRun;
        QString expected;
    } cases[] = {
        {"environment wins", "https://env.test", "https://build.test", false, "https://env.test"},
        {"environment trimmed", " \n https://env.test\t", "https://build.test", false, "https://env.test"},
        {"blank environment falls to build", "   ", "https://build.test", false, "https://build.test"},
        {"placeholder in environment is taken", "$(BACKEND)", "https://build.test", false, "$(BACKEND)"},
        {"build key trimmed", std::nullopt, "\n https://build.test \n", false, "https://build.test"},
        {"unexpanded build placeholder ignored", std::nullopt, "$(QUORVELLE_BACKEND_BASE_URL)", false,
         AppConfiguration::productionBackendBaseURL()},
        {"half placeholder at start kept", std::nullopt, "$(open", false, "$(open"},
        {"half placeholder at end kept", std::nullopt, "close)", false, "close)"},
        {"blank build key under a test run", std::nullopt, " ", true, AppConfiguration::localBackendBaseURL()},
        {"nothing configured", std::nullopt, "", false, AppConfiguration::productionBackendBaseURL()},
    };
    for (const auto& c : cases) {
        QProcessEnvironment environment;
        if (c.environment) environment.insert(env, *c.environment);
        const AppConfiguration resolved(environment, BuildKeys{c.buildKey, {}, {}, {}}, c.testRun);
        EXPECT_EQ(resolved.backendBaseURLString(), c.expected) << c.name;
    }

    const auto web = configuration({{QLatin1String(AppConfiguration::publicWebURLKey), "https://web.test"}},
                                   BuildKeys{{}, "https://other.test", {}, {}}, true);
    EXPECT_EQ(web.publicWebURLString(), "https://web.test");
    EXPECT_EQ(configuration({}, {}, true).publicWebURLString(), AppConfiguration::localPublicWebURL());
    EXPECT_EQ(configuration({}, {}, false).publicWebURLString(), AppConfiguration::productionPublicWebURL());
}

TEST(AppConfiguration, IdentityLabelAndVersions) {
    EXPECT_EQ(configuration({}, {}, true).identityLabel(), "Local");
    EXPECT_EQ(configuration({}, {}, false).identityLabel(), "Production");
    EXPECT_EQ(configuration({{QLatin1String(AppConfiguration::backendBaseURLKey), "https://other.test"}}, {}, true)
                  .identityLabel(),
              "Custom");
    // One local and one production value is a custom pair, not either of the two.
    EXPECT_EQ(AppConfiguration::identityLabel(AppConfiguration::localPublicWebURL(),
                                              AppConfiguration::productionBackendBaseURL()),
              "Custom");

    const auto built = configuration({}, BuildKeys{{}, {}, "1.4.2", "57"}, false);
    EXPECT_EQ(built.shortVersion(), "1.4.2");
    EXPECT_EQ(built.buildNumber(), "57");
    EXPECT_EQ(configuration({}, BuildKeys{{}, {}, " ", ""}, false).shortVersion(), "0");
    EXPECT_EQ(configuration({}, {}, false).buildNumber(), "0");
}

TEST(AppConfiguration, AnUnusableAddressIsAClearErrorNamingTheSetting) {
    for (const char* text : {"not an address", "ftp://files.test", "https://", "api.test/v1", "http://exa mple.test"}) {
        const auto resolved = configuration({{QLatin1String(AppConfiguration::backendBaseURLKey), text}}, {}, false);
        try {
            resolved.backendBaseURL();
            ADD_FAILURE() << text << " was accepted";
        } catch (const AppConfigurationError& error) {
            EXPECT_TRUE(error.message().contains("QUORVELLE_BACKEND_BASE_URL")) << error.what();
            EXPECT_TRUE(error.message().contains(QLatin1String(text))) << error.what();
        }
    }
    const auto good =
        configuration({{QLatin1String(AppConfiguration::publicWebURLKey), "http://127.0.0.1:8080/site"}}, {}, false);
    EXPECT_EQ(good.publicWebURL(), QUrl("http://127.0.0.1:8080/site"));
    EXPECT_EQ(configuration({}, {}, false).backendBaseURL(), QUrl(AppConfiguration::productionBackendBaseURL()));
}

TEST(AppConfiguration, ThisProcessIsATestRunAndDefaultsToTheLocalServers) {
    EXPECT_TRUE(AppConfiguration::isRunningUnitTests());
    qunsetenv(AppConfiguration::backendBaseURLKey);
    qunsetenv(AppConfiguration::publicWebURLKey);
    const AppConfiguration current = AppConfiguration::current();
    EXPECT_EQ(current.identityLabel(), "Local");
    EXPECT_NE(current.shortVersion(), "0");
}

}  // namespace
}  // namespace quorvelle
