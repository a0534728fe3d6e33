#include "Platform/Linux/SystemNavigator.h"

#include "Platform/Linux/DesktopSettingsTool.h"

#include <QDebug>
#include <QDesktopServices>

namespace quorvelle {

SystemNavigator::SystemNavigator(Report reportUnavailable) : m_reportUnavailable(std::move(reportUnavailable)) {}

void SystemNavigator::open(const SystemDestination& destination) {
    switch (destination.kind) {
        case SystemDestination::Kind::url:
            if (!destination.url.isValid() || destination.url.isEmpty()) {
                report(QStringLiteral("The address \"%1\" cannot be opened.").arg(destination.url.toString()));
            } else if (!QDesktopServices::openUrl(destination.url)) {
                report(QStringLiteral("No program on this desktop opens %1.").arg(destination.url.toString()));
            }
            return;
        case SystemDestination::Kind::microphoneSettings:
            if (!DesktopSettingsTool::open(DesktopSettingsTool::Page::microphone)) {
                report(QStringLiteral("No sound settings program was found on this desktop."));
            }
            return;
        case SystemDestination::Kind::accessibilitySettings:
            if (!DesktopSettingsTool::open(DesktopSettingsTool::Page::accessibility)) {
                report(QStringLiteral("No accessibility settings program was found on this desktop."));
            }
            return;
    }
}

void SystemNavigator::report(const QString& reason) const {
    qWarning().noquote() << reason;
    if (m_reportUnavailable) m_reportUnavailable(reason);
}

}  // namespace quorvelle
