#pragma once

#include <QtQuick/private/qaccessiblequickitem_p.h>

namespace quorvelle {

// How a screen reader sees a Quick item: as Qt Quick shows it, and disabled while the item is.
// Qt Quick 6.4 reports every item as enabled, so a greyed control would read as one that works.
class EnabledStateAccessible : public QAccessibleQuickItem {
public:
    explicit EnabledStateAccessible(QQuickItem* item);

    QAccessible::State state() const override;

    // Puts this in place of Qt Quick's own for every accessible item created from now on; a
    // type with an interface of its own (a page) keeps it. Call after the Quick library is loaded.
    static void install();
};

}  // namespace quorvelle
