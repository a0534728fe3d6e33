#pragma once

#include "Services/Backend/SoftwareUpdateChecking.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;

namespace quorvelle {

class ConnectionReading;

// Asks the backend for the latest stable release with a plain GET (no authorisation, no backend client
// headers) and compares it with the running program. Downloads nothing.
//
// Failures: WebRequestError (transport failure as it came, or badServerResponse for a non-2xx answer)
// and WireDecodingError for a body without "version", "build" or "download_url". A download address
// that does not parse, or is not an absolute http(s) address, is left out, not a failure.
class ManualSoftwareUpdateChecker : public SoftwareUpdateChecking {
public:
    // `connections`, when given, lets an answer whose head never ends be cut short.
    ManualSoftwareUpdateChecker(QNetworkAccessManager* session, const QString& backendBaseURL,
                                const QString& publicWebURL, QString currentVersion, QString currentBuild,
                                std::shared_ptr<const ConnectionReading> connections = nullptr);

    bool isEnabled() const override { return true; }
    QCoro::Task<SoftwareUpdateCheckResult> checkForUpdates(std::stop_token stopToken = {}) override;

    const QUrl& latestReleaseURL() const { return m_latestReleaseURL; }
    const QUrl& releasePageURL() const { return m_releasePageURL; }

    // The backend base address (the built-in one when it does not parse) with "v1/releases/latest"
    // joined to its path and the single query item channel=stable.
    static QUrl makeLatestReleaseURL(const QString& backendBaseURL);
    // The public web address (the built-in one when it does not parse) with the path component
    // "download" appended.
    static QUrl makeReleasePageURL(const QString& publicWebURL);

    // The runs of number characters in the text, each read as a decimal integer; a run that is not
    // made of ASCII digits, or does not fit, reads as 0. "1.3-beta2" gives 1, 3, 2.
    static QList<qint64> versionComponents(const QString& text);
    // -1, 0 or 1, comparing component by component, a missing component reading as 0.
    static int compareVersionStrings(const QString& a, const QString& b);
    // Newer when the version is greater, or equal with a greater build.
    static bool isNewer(const QString& latestVersion, const QString& latestBuild, const QString& currentVersion,
                        const QString& currentBuild);

private:
    QNetworkAccessManager* m_session;
    std::shared_ptr<const ConnectionReading> m_connections;
    QUrl m_latestReleaseURL;
    QUrl m_releasePageURL;
    QString m_currentVersion;
    QString m_currentBuild;
};

}  // namespace quorvelle
