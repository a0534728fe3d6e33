#include "Views/Dashboard/Components/AppVersion.h"

#include "App/BuildKeys.h"

namespace quorvelle {

QString appVersionString() {
    const QString version = BuildKeys::current().shortVersion.trimmed();
    return version.isEmpty() ? QStringLiteral("1.0.0") : version;
}

}  // namespace quorvelle
