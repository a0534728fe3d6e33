#include "Services/Backend/ManualSoftwareUpdateChecker.h"

#include "Services/Backend/PlainWebRequest.h"
#include "Services/Backend/ReleasePayloads.h"
#include "Services/Backend/ReleaseServiceAddress.h"

#include <QChar>

#include <algorithm>
#include <limits>

namespace quorvelle {

namespace {

qint64 componentValue(const QList<char32_t>& digits) {
    qint64 value = 0;
    for (const char32_t digit : digits) {
        if (digit < U'0' || digit > U'9') return 0;
        const qint64 next = digit - U'0';
        if (value > (std::numeric_limits<qint64>::max() - next) / 10) return 0;
        value = value * 10 + next;
    }
    return value;
}

}  // namespace

ManualSoftwareUpdateChecker::ManualSoftwareUpdateChecker(QNetworkAccessManager* session, const QString& backendBaseURL,
                                                         const QString& publicWebURL, QString currentVersion,
                                                         QString currentBuild,
                                                         std::shared_ptr<const ConnectionReading> connections)
    : m_session(session),
      m_connections(std::move(connections)),
      m_latestReleaseURL(makeLatestReleaseURL(backendBaseURL)),
      m_releasePageURL(makeReleasePageURL(publicWebURL)),
      m_currentVersion(std::move(currentVersion)),
      m_currentBuild(std::move(currentBuild)) {}

QUrl ManualSoftwareUpdateChecker::makeLatestReleaseURL(const QString& backendBaseURL) {
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("channel"), QStringLiteral("stable"));
    return releaseservice::backendURL(backendBaseURL, QStringLiteral("v1/releases/latest"), query);
}

QUrl ManualSoftwareUpdateChecker::makeReleasePageURL(const QString& publicWebURL) {
    QUrl url = releaseservice::parsedAddressOr(publicWebURL, releaseservice::productionPublicWebAddress());
    QString path = url.path();
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    url.setPath(path + QStringLiteral("download"));
    return url;
}

QCoro::Task<SoftwareUpdateCheckResult> ManualSoftwareUpdateChecker::checkForUpdates(std::stop_token stopToken) {
    // Built outside the co_await expression: GCC 12 destroys an aggregate made inside one twice, and
    // the limits' copy of the connection reader would lose an owner each check.
    const PlainGetLimits limits{.connections = m_connections};
    QCoro::Task<QByteArray> fetching = fetchPlainGet(m_session, m_latestReleaseURL, stopToken, limits);
    const QByteArray body = co_await std::move(fetching);
    const LatestReleasePayload latest = LatestReleasePayload::fromJson(releaseDocument(body));

    SoftwareUpdateCheckResult result;
    result.status = isNewer(latest.version, latest.build, m_currentVersion, m_currentBuild)
                        ? SoftwareUpdateCheckResult::Status::updateAvailable
                        : SoftwareUpdateCheckResult::Status::upToDate;
    result.latestVersion = latest.version;
    result.latestBuild = latest.build;
    const QUrl download(latest.downloadURL, QUrl::StrictMode);
    // The address is opened for the user: a relative one would open as a local path, and another
    // scheme could start any handler, so only a web address counts.
    const bool webAddress = download.scheme() == QLatin1String("https") || download.scheme() == QLatin1String("http");
    if (!latest.downloadURL.isEmpty() && download.isValid() && webAddress && !download.host().isEmpty()) {
        result.downloadURL = download;
    }
    result.releasePageURL = m_releasePageURL;
    co_return result;
}

QList<qint64> ManualSoftwareUpdateChecker::versionComponents(const QString& text) {
    QList<qint64> components;
    QList<char32_t> run;
    for (const char32_t character : text.toUcs4()) {
        if (QChar::isNumber(character)) {
            run.append(character);
        } else if (!run.isEmpty()) {
            components.append(componentValue(run));
            run.clear();
        }
    }
    if (!run.isEmpty()) components.append(componentValue(run));
    return components;
}

int ManualSoftwareUpdateChecker::compareVersionStrings(const QString& a, const QString& b) {
    const QList<qint64> left = versionComponents(a);
    const QList<qint64> right = versionComponents(b);
    const qsizetype count = std::max(left.size(), right.size());
    for (qsizetype position = 0; position < count; ++position) {
        const qint64 l = position < left.size() ? left.at(position) : 0;
        const qint64 r = position < right.size() ? right.at(position) : 0;
        if (l != r) return l > r ? 1 : -1;
    }
    return 0;
}

bool ManualSoftwareUpdateChecker::isNewer(const QString& latestVersion, const QString& latestBuild,
                                          const QString& currentVersion, const QString& currentBuild) {
    int order = compareVersionStrings(latestVersion, currentVersion);
    if (order == 0) order = compareVersionStrings(latestBuild, currentBuild);
    return order == 1;
}

}  // namespace quorvelle
