#include "AccessibilityBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QPointer>
#include <QThread>
#include <QVariant>
#include <QVariantMap>

#include <optional>

namespace quorvelle::AccessibilityBus {

namespace {

const QString kService = QStringLiteral("org.a11y.Bus");
const QString kPath = QStringLiteral("/org/a11y/bus");
const QString kStatusInterface = QStringLiteral("org.a11y.Status");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kIsEnabled = QStringLiteral("IsEnabled");
constexpr int kTimeoutMs = 1000;

std::optional<bool> askBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kPropertiesInterface, QStringLiteral("Get"));
    call << kStatusInterface << kIsEnabled;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    return reply.arguments().first().value<QDBusVariant>().variant().toBool();
}

// The switch as the bus last told it. Every inspection of the focused field asks, and a question on
// the session bus costs milliseconds under load; the bus announces each change of the switch, and
// the launcher that answers it going away makes the answer unknown again.
class SwitchWatch final : public QObject {
    Q_OBJECT

public:
    SwitchWatch() : m_owner(kService, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForOwnerChange) {
        m_listening = QDBusConnection::sessionBus().connect(
            kService, kPath, kPropertiesInterface, QStringLiteral("PropertiesChanged"), this,
            SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
        connect(&m_owner, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { m_known.reset(); });
    }

    bool isEnabled() {
        if (!m_listening) return askBus().value_or(false);
        if (!m_known) m_known = askBus();
        return m_known.value_or(false);
    }
    void forget() { m_known.reset(); }

private Q_SLOTS:
    void onPropertiesChanged(const QString& interfaceName, const QVariantMap& changed, const QStringList& invalidated) {
        if (interfaceName != kStatusInterface) return;
        if (changed.contains(kIsEnabled))
            m_known = changed.value(kIsEnabled).toBool();
        else if (invalidated.contains(kIsEnabled))
            m_known.reset();
    }

private:
    QDBusServiceWatcher m_owner;
    bool m_listening = false;
    std::optional<bool> m_known;
};

// The notices arrive through the main thread's event loop: elsewhere the bus is asked each time.
SwitchWatch* switchWatch() {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread()) return nullptr;
    // Owned by the application: a later application makes a new one.
    static QPointer<SwitchWatch> watch;
    if (!watch) {
        watch = new SwitchWatch;
        watch->setParent(application);
    }
    return watch;
}

}  // namespace

bool isEnabled() {
    if (SwitchWatch* watch = switchWatch()) return watch->isEnabled();
    return askBus().value_or(false);
}

bool setEnabled(bool enabled) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kPropertiesInterface, QStringLiteral("Set"));
    call << kStatusInterface << kIsEnabled << QVariant::fromValue(QDBusVariant(enabled));
    const QDBusMessage reply = bus.call(call, QDBus::Block, kTimeoutMs);
    // The notice of the change comes later: until then the bus is asked again.
    if (SwitchWatch* watch = switchWatch()) watch->forget();
    return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace quorvelle::AccessibilityBus

#include "AccessibilityBus.moc"
