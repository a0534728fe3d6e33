#include "Views/Common/EnabledStateAccessible.h"

#include <QtQuick/private/qquickitem_p.h>

namespace quorvelle {

namespace {

QAccessibleInterface* createInterface(const QString& className, QObject* object) {
    // Answering only for the plain item class leaves the more derived classes to their own factories.
    if (className != QLatin1String("QQuickItem")) return nullptr;
    auto* item = qobject_cast<QQuickItem*>(object);
    if (!item || !QQuickItemPrivate::get(item)->isAccessible) return nullptr;
    return new EnabledStateAccessible(item);
}

}  // namespace

EnabledStateAccessible::EnabledStateAccessible(QQuickItem* item) : QAccessibleQuickItem(item) {
    // A reader keeps the states it was told: say when this one changes.
    QObject::connect(item, &QQuickItem::enabledChanged, item, [item] {
        QAccessible::State changed;
        changed.disabled = true;
        QAccessibleStateChangeEvent event(item, changed);
        QAccessible::updateAccessibility(&event);
    });
}

QAccessible::State EnabledStateAccessible::state() const {
    QAccessible::State state = QAccessibleQuickItem::state();
    if (item() && !item()->isEnabled()) state.disabled = true;
    return state;
}

void EnabledStateAccessible::install() {
    // Factories installed later are asked first.
    QAccessible::installFactory(&createInterface);
}

}  // namespace quorvelle
