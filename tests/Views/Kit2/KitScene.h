#pragma once

#include "ViewHarness.h"

#include <QQmlContext>
#include <QQuickItem>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <string>

namespace quorvelle::test {

// What the rows and cards of the kit's tests share: a scene whose root keeps a log of the calls
// its callbacks made, each as one line "name arg1 arg2 ...".
inline QString loggedScene(const QString& body) {
    return QStringLiteral(
               "Item {\n"
               "  id: scene\n"
               "  property var log: []\n"
               "  function note(line) { log = log.concat([line]) }\n"
               "  width: 640\n"
               "%1\n"
               "}\n")
        .arg(body);
}

// A test of the kit in one theme (the suite's parameter); scenes are loaded in that theme.
class KitThemedTest : public ThemedSceneTest {
protected:
    QQuickItem* loadThemed(const QString& qml, QSize windowSize) {
        harness.setTheme(GetParam());
        return harness.load(qml, windowSize);
    }
    void shootKit(const std::string& name) { shootInEveryTheme("kit2-" + name); }
};

inline QStringList callLog(const ViewHarness& harness) {
    return harness.root()->property("log").toStringList();
}

inline QString textOf(const ViewHarness& harness, const QString& objectName) {
    QQuickItem* item = harness.find(objectName);
    return item ? item->property("text").toString() : QStringLiteral("<missing %1>").arg(objectName);
}

// The colour just inside an item's right edge, half way down: its fill, clear of its texts and
// border. Grabs first, so that the layouts are settled before the item's size is read.
inline QColor fillOf(ViewHarness& harness, QQuickItem* item) {
    harness.grab();
    return harness.colorAt(item, {item->width() - 6, item->height() / 2});
}

// The colour of a Rectangle's border.
inline QColor borderOf(QQuickItem* item) {
    QObject* border = item ? item->property("border").value<QObject*>() : nullptr;
    return border ? border->property("color").value<QColor>() : QColor();
}

inline bool shown(const ViewHarness& harness, const QString& objectName) {
    QQuickItem* item = harness.find(objectName);
    return item && item->isVisible() && item->opacity() > 0;
}

}  // namespace quorvelle::test
