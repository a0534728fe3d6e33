#pragma once

#include <QString>
#include <QUrl>
#include <QUrlQuery>

namespace quorvelle {

// Where the release list and the latest release are asked for, and where the public download page is.
// The built-in addresses stand in when a configured address does not parse.
namespace releaseservice {

QString productionBackendBaseAddress();
QString productionPublicWebAddress();

// The text as an absolute address with a host; otherwise the fallback's.
QUrl parsedAddressOr(const QString& text, const QString& fallback);

// "/" + base path + "/" + API path, both trimmed of "/" at either end; "/" + API path when the base
// path is empty. So "/api/" and "v1/releases" give "/api/v1/releases".
QString appendingAPIPath(const QString& basePath, const QString& apiPath);

// The backend base address (or the built-in one) with the API path joined to its path and exactly
// the given query.
QUrl backendURL(const QString& baseAddress, const QString& apiPath, const QUrlQuery& query);

}  // namespace releaseservice
}  // namespace quorvelle
