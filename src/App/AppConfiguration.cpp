#include "App/AppConfiguration.h"

namespace quorvelle {

namespace {

QUrl parsedAddress(const QString& text, const char* key) {
    const QUrl url(text, QUrl::StrictMode);
    const bool web = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (url.isValid() && web && !url.host().isEmpty()) return url;
    throw AppConfigurationError(
        QStringLiteral("%1 is set to \"%2\", which is not a usable address: an http or https address with a host "
                       "is needed, such as https://example.com.")
            .arg(QLatin1String(key), text));
}

QString orZero(const QString& value) {
    const QString trimmed = value.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("0") : trimmed;
}

}  // namespace

QString AppConfiguration::localBackendBaseURL() {
    return QStringLiteral("http://localhost:4000");
}

QString AppConfiguration::localPublicWebURL() {
    return QStringLiteral("http://localhost:3000");
}

QString AppConfiguration::productionBackendBaseURL() {
    return QStringLiteral("https://api.quorvelle.app");
}

QString AppConfiguration::productionPublicWebURL() {
    return QStringLiteral("https://quorvelle.app");
}

AppConfiguration::AppConfiguration(QProcessEnvironment environment, BuildKeys buildKeys, bool isTestRun)
    : m_environment(std::move(environment)), m_buildKeys(std::move(buildKeys)), m_isTestRun(isTestRun) {}

AppConfiguration AppConfiguration::current() {
    return AppConfiguration(QProcessEnvironment::systemEnvironment(), BuildKeys::current(), isRunningUnitTests());
}

bool AppConfiguration::isRunningUnitTests() {
    static const bool testRun = qEnvironmentVariableIsSet(testRunKey);
    return testRun;
}

std::optional<QString> AppConfiguration::configuredValue(const QString& environmentKey,
                                                         const QString& buildValue) const {
    const QString fromEnvironment = m_environment.value(environmentKey).trimmed();
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    const QString fromBuild = buildValue.trimmed();
    if (fromBuild.isEmpty()) return std::nullopt;
    if (fromBuild.startsWith(QLatin1String("$(")) && fromBuild.endsWith(QLatin1Char(')'))) return std::nullopt;
    return fromBuild;
}

QString AppConfiguration::backendBaseURLString() const {
    return configuredValue(QLatin1String(backendBaseURLKey), m_buildKeys.backendBaseURL)
        .value_or(m_isTestRun ? localBackendBaseURL() : productionBackendBaseURL());
}

QString AppConfiguration::publicWebURLString() const {
    return configuredValue(QLatin1String(publicWebURLKey), m_buildKeys.publicWebURL)
        .value_or(m_isTestRun ? localPublicWebURL() : productionPublicWebURL());
}

QUrl AppConfiguration::backendBaseURL() const {
    return parsedAddress(backendBaseURLString(), backendBaseURLKey);
}

QUrl AppConfiguration::publicWebURL() const {
    return parsedAddress(publicWebURLString(), publicWebURLKey);
}

QString AppConfiguration::identityLabel() const {
    return identityLabel(publicWebURLString(), backendBaseURLString());
}

QString AppConfiguration::identityLabel(const QString& publicWebURL, const QString& backendBaseURL) {
    if (publicWebURL == localPublicWebURL() && backendBaseURL == localBackendBaseURL()) {
        return QStringLiteral("Local");
    }
    if (publicWebURL == productionPublicWebURL() && backendBaseURL == productionBackendBaseURL()) {
        return QStringLiteral("Production");
    }
    return QStringLiteral("Custom");
}

QString AppConfiguration::shortVersion() const {
    return orZero(m_buildKeys.shortVersion);
}

QString AppConfiguration::buildNumber() const {
    return orZero(m_buildKeys.buildNumber);
}

}  // namespace quorvelle
