#pragma once

#include <QFont>
#include <QObject>
#include <QtQmlIntegration>

namespace quorvelle {

// The text styles of the menu-bar views, at the platform's usual sizes, in logical pixels:
// `font: MenuType.headline`.
class MenuType : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QFont headline READ headline CONSTANT)
    Q_PROPERTY(QFont title3 READ title3 CONSTANT)
    Q_PROPERTY(QFont body READ body CONSTANT)
    Q_PROPERTY(QFont subheadline READ subheadline CONSTANT)
    Q_PROPERTY(QFont caption READ caption CONSTANT)
    Q_PROPERTY(QFont caption2 READ caption CONSTANT)
    Q_PROPERTY(QFont monospaced READ monospaced CONSTANT)

public:
    using QObject::QObject;

    static QFont headline();
    static QFont title3() { return ui(15); }
    static QFont body() { return ui(13); }
    static QFont subheadline() { return ui(11); }
    static QFont caption() { return ui(10); }
    static QFont monospaced();

private:
    static QFont ui(int pixelSize);
};

}  // namespace quorvelle
