#include "Views/Dashboard/SidebarIdentity.h"

#include "Views/Dashboard/Components/AppIdentityStatus.h"

#include <QStringList>

namespace quorvelle {

SidebarIdentity::SidebarIdentity(QObject* parent)
    : QObject(parent), m_texts(texts(AppConfiguration::current(), BuildKeys::current().shortVersion)) {}

SidebarIdentity::Texts SidebarIdentity::texts(const AppConfiguration& configuration, const QString& shortVersion) {
    const QString version = shortVersion.trimmed().isEmpty() ? QStringLiteral("1.0.0") : shortVersion.trimmed();
    const QString build = configuration.buildNumber();
    const QString profile = configuration.identityLabel();
    const AppIdentityStatus status = profile == QLatin1String("Production") ? AppIdentityStatus::Production
                                     : profile == QLatin1String("Local")    ? AppIdentityStatus::Local
                                                                            : AppIdentityStatus::Custom;
    const QStringList help{
        QStringLiteral("Version: v") + version,
        QStringLiteral("Build: ") + build,
        QStringLiteral("Profile: ") + profile,
        QStringLiteral("Configuration: Release"),
        QStringLiteral("Web: ") + configuration.publicWebURLString(),
        QStringLiteral("API: ") + configuration.backendBaseURLString(),
    };
    return Texts{QStringLiteral("v") + version, profile + QStringLiteral(" \u2022 Release \u2022 Build ") + build,
                 static_cast<int>(status), help.join(QLatin1Char('\n'))};
}

}  // namespace quorvelle
