#include "Views/Dashboard/Components/AppVersion.h"

#include <QCoreApplication>

namespace quorvelle {

QString appVersionString() {
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("1.0.0") : version;
}

}  // namespace quorvelle
