#include "Services/Backend/BackendReleaseNotesFetcher.h"

#include "Services/Backend/PlainWebRequest.h"
#include "Services/Backend/ReleaseServiceAddress.h"

namespace quorvelle {

BackendReleaseNotesFetcher::BackendReleaseNotesFetcher(QNetworkAccessManager* session, const QString& baseURL,
                                                       int limit, std::shared_ptr<const ConnectionReading> connections)
    : m_session(session),
      m_releaseNotesURL(makeReleaseNotesURL(baseURL, limit)),
      m_connections(std::move(connections)) {}

QUrl BackendReleaseNotesFetcher::makeReleaseNotesURL(const QString& baseURL, int limit) {
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("channel"), QStringLiteral("stable"));
    query.addQueryItem(QStringLiteral("limit"), QString::number(limit));
    return releaseservice::backendURL(baseURL, QStringLiteral("v1/releases"), query);
}

QCoro::Task<QList<ReleaseNoteEntry>> BackendReleaseNotesFetcher::fetchReleaseNotes(QString languageCode,
                                                                                   std::stop_token stopToken) {
    // Built outside the co_await expression, as in the update check: GCC 12 destroys an aggregate
    // made inside one twice.
    const PlainGetLimits limits{.connections = m_connections};
    QCoro::Task<QByteArray> fetching = fetchPlainGet(m_session, m_releaseNotesURL, stopToken, limits);
    const QByteArray body = co_await std::move(fetching);
    const ReleaseNotesListPayload list = ReleaseNotesListPayload::fromJson(releaseDocument(body));
    QList<ReleaseNoteEntry> entries;
    entries.reserve(list.releases.size());
    for (const ReleasePayload& release : list.releases)
        entries.append(makeEntry(release, languageCode));
    co_return entries;
}

std::optional<ReleaseLocaleBody> BackendReleaseNotesFetcher::localeBody(
    const QMap<QString, ReleaseLocaleBody>& notesBody, const QString& languageCode) {
    if (notesBody.isEmpty()) return std::nullopt;
    for (const QString& locale : {languageCode, QStringLiteral("en"), QStringLiteral("tr")}) {
        const auto found = notesBody.constFind(locale);
        if (found != notesBody.constEnd()) return *found;
    }
    return notesBody.first();
}

ReleaseNoteEntry BackendReleaseNotesFetcher::makeEntry(const ReleasePayload& release, const QString& languageCode) {
    ReleaseNoteEntry entry;
    entry.id =
        release.id.value_or(release.version + QLatin1Char('-') + release.build + QLatin1Char('-') + release.channel);
    entry.version = release.version;
    entry.build = release.build;
    entry.channel = release.channel;
    entry.releasedAt = release.releasedAt;
    const std::optional<ReleaseLocaleBody> body = localeBody(release.notesBody, languageCode);
    entry.summary = body && body->summary ? body->summary : release.notesSummary;
    if (body && body->categories) {
        for (const ReleaseCategoryPayload& category : *body->categories) {
            entry.categories.append(ReleaseNoteCategory{category.label, category.items});
        }
    }
    return entry;
}

}  // namespace quorvelle
