#pragma once

#include "Services/Backend/ReleaseNotesFetching.h"
#include "Services/Backend/ReleasePayloads.h"

#include <QUrl>

#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace quorvelle {

class ConnectionReading;

// Loads the release list straight from the backend with a plain GET: no authorisation, no headers of
// the backend client. Nothing is cached between fetches.
//
// Failures: WebRequestError (transport failure as it came, or badServerResponse for a non-2xx answer)
// and WireDecodingError for a body that breaks the release records.
class BackendReleaseNotesFetcher : public ReleaseNotesFetching {
public:
    // `connections`, when given, lets an answer whose head never ends be cut short.
    BackendReleaseNotesFetcher(QNetworkAccessManager* session, const QString& baseURL, int limit,
                               std::shared_ptr<const ConnectionReading> connections = nullptr);

    QCoro::Task<QList<ReleaseNoteEntry>> fetchReleaseNotes(QString languageCode,
                                                           std::stop_token stopToken = {}) override;

    const QUrl& releaseNotesURL() const { return m_releaseNotesURL; }

    // The base address (the built-in one when it does not parse) with "v1/releases" joined to its path
    // and the query channel=stable&limit=<limit>.
    static QUrl makeReleaseNotesURL(const QString& baseURL, int limit);

    // The notes of the language, else "en", else "tr", else the first locale present; none when the
    // release has no notes at all.
    static std::optional<ReleaseLocaleBody> localeBody(const QMap<QString, ReleaseLocaleBody>& notesBody,
                                                       const QString& languageCode);

    static ReleaseNoteEntry makeEntry(const ReleasePayload& release, const QString& languageCode);

private:
    QNetworkAccessManager* m_session;
    QUrl m_releaseNotesURL;
    std::shared_ptr<const ConnectionReading> m_connections;
};

}  // namespace quorvelle
