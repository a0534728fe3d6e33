#include "Services/Backend/ReleaseServiceAddress.h"

#include "App/AppConfiguration.h"

namespace quorvelle::releaseservice {

namespace {

QString trimmedOfSlashes(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char('/'))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char('/'))
        --end;
    return text.mid(start, end - start);
}

}  // namespace

QString productionBackendBaseAddress() {
    return AppConfiguration::productionBackendBaseURL();
}

QString productionPublicWebAddress() {
    return AppConfiguration::productionPublicWebURL();
}

QUrl parsedAddressOr(const QString& text, const QString& fallback) {
    const QUrl url(text, QUrl::StrictMode);
    // A relative reference or one without a host cannot be fetched, so it counts as not parsing.
    if (!text.isEmpty() && url.isValid() && !url.isRelative() && !url.host().isEmpty()) return url;
    return QUrl(fallback, QUrl::StrictMode);
}

QString appendingAPIPath(const QString& basePath, const QString& apiPath) {
    const QString base = trimmedOfSlashes(basePath);
    const QString api = trimmedOfSlashes(apiPath);
    if (base.isEmpty()) return QLatin1Char('/') + api;
    return QLatin1Char('/') + base + QLatin1Char('/') + api;
}

QUrl backendURL(const QString& baseAddress, const QString& apiPath, const QUrlQuery& query) {
    QUrl url = parsedAddressOr(baseAddress, productionBackendBaseAddress());
    url.setPath(appendingAPIPath(url.path(), apiPath));
    url.setQuery(query);
    return url;
}

}  // namespace quorvelle::releaseservice
