#include "AccessibilityBus.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariant>

namespace quorvelle::AccessibilityBus {

namespace {

const QString kService = QStringLiteral("org.a11y.Bus");
const QString kPath = QStringLiteral("/org/a11y/bus");
const QString kStatusInterface = QStringLiteral("org.a11y.Status");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr int kTimeoutMs = 1000;

}  // namespace

bool isEnabled() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kPropertiesInterface, QStringLiteral("Get"));
    call << kStatusInterface << QStringLiteral("IsEnabled");
    const QDBusMessage reply = bus.call(call, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    return reply.arguments().first().value<QDBusVariant>().variant().toBool();
}

bool setEnabled(bool enabled) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kPropertiesInterface, QStringLiteral("Set"));
    call << kStatusInterface << QStringLiteral("IsEnabled") << QVariant::fromValue(QDBusVariant(enabled));
    const QDBusMessage reply = bus.call(call, QDBus::Block, kTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace quorvelle::AccessibilityBus
