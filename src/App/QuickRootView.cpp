#include "App/QuickRootView.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QtDebug>

namespace quorvelle {

QQuickItem* makeRootView(QQmlEngine& engine, const QString& typeName, const QVariantMap& properties) {
    QQmlComponent component(&engine);
    component.setData(QStringLiteral("import Quorvelle\n%1 {}\n").arg(typeName).toUtf8(),
                      QUrl(QStringLiteral("qrc:/quorvelle/app/%1Host.qml").arg(typeName)));
    if (component.isError()) {
        qWarning().noquote() << "The view" << typeName << "is not available:" << component.errorString();
        return nullptr;
    }
    QObject* object = component.beginCreate(engine.rootContext());
    if (!object) {
        qWarning().noquote() << "The view" << typeName << "could not be made:" << component.errorString();
        return nullptr;
    }
    QVariantMap declared;
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        if (object->metaObject()->indexOfProperty(it.key().toUtf8().constData()) >= 0) declared.insert(it.key(), *it);
    }
    component.setInitialProperties(object, declared);
    component.completeCreate();
    auto* item = qobject_cast<QQuickItem*>(object);
    if (!item || component.isError()) {
        qWarning().noquote() << "The view" << typeName << "could not be made:" << component.errorString();
        delete object;
        return nullptr;
    }
    QQmlEngine::setObjectOwnership(item, QQmlEngine::CppOwnership);
    return item;
}

}  // namespace quorvelle
