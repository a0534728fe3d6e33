#pragma once

#include <QString>
#include <QVariantMap>

class QQmlEngine;
class QQuickItem;

namespace quorvelle {

// Makes the view module's type `typeName` as the root item of a window, handing it the initial
// properties it declares (a view takes only what it needs: required ones among them). Nothing, with
// a warning, when the module has no such type.
QQuickItem* makeRootView(QQmlEngine& engine, const QString& typeName, const QVariantMap& properties);

}  // namespace quorvelle
