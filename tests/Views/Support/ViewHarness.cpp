#include "ViewHarness.h"

#include "Views/Common/Motion.h"
#include "Views/Common/SymbolTable.h"
#include "Views/Common/ViewFonts.h"
#include "Views/Common/ViewSetup.h"
#include "Views/Dashboard/Components/DesktopTheme.h"

#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QQmlComponent>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>

namespace quorvelle::test {

namespace {

// Before main creates the application: the tests draw offscreen, also when run by hand.
const bool offscreenByDefault = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}();

void prepareOnce() {
    static const bool done = [] {
        // The software scene graph draws the same pixels on every machine.
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        Motion::setAnimationsEnabled(false);
        ViewSetup::prepare();
        // One fixed light palette, whatever the machine's desktop says.
        QPalette palette;
        const QPalette::ColorRole roles[] = {QPalette::Window,    QPalette::WindowText,     QPalette::Base,
                                             QPalette::Text,      QPalette::Button,         QPalette::ButtonText,
                                             QPalette::Highlight, QPalette::HighlightedText};
        const QRgb colours[] = {0xececec, 0x000000, 0xffffff, 0x000000, 0xececec, 0x000000, 0x308cc6, 0xffffff};
        for (int i = 0; i < 8; ++i)
            palette.setColor(roles[i], QColor(colours[i]));
        QGuiApplication::setPalette(palette);
        return true;
    }();
    Q_UNUSED(done);
}

DesktopThemeColors colorsOf(Theme theme) {
    return theme == Theme::Quorvelle ? DesktopThemeColors::quorvelle()
           : theme == Theme::Light   ? DesktopThemeColors::light()
                                     : DesktopThemeColors::black();
}

}  // namespace

ViewHarness::ViewHarness() : m_engine((prepareOnce(), std::make_unique<QQmlEngine>())) {
    setTheme(Theme::Black);
}

ViewHarness::~ViewHarness() {
    delete m_root;
}

void ViewHarness::setTheme(Theme theme) {
    m_theme = theme;
    const int typeId = qmlTypeId("Quorvelle", 1, 0, "DesktopTheme");
    if (auto* singleton = m_engine->singletonInstance<DesktopTheme*>(typeId))
        singleton->setColors(colorsOf(theme));
    else
        ADD_FAILURE() << "no DesktopTheme singleton";
    m_window->setColor(colorsOf(theme).contentBackground);
}

QQuickItem* ViewHarness::load(const QString& body, QSize windowSize) {
    const QString source = QStringLiteral(
                               "import QtQuick\nimport QtQuick.Controls\nimport QtQuick.Layouts\n"
                               "import Quorvelle\n") +
                           body;
    QQmlComponent component(m_engine.get());
    component.setData(source.toUtf8(), QUrl(QStringLiteral("qrc:/tests/Scene.qml")));
    std::unique_ptr<QObject> object(component.create());
    delete m_root;
    m_root = qobject_cast<QQuickItem*>(object.get());
    if (!m_root) {
        ADD_FAILURE() << "QML did not load as an item: " << component.errorString().toStdString();
        return nullptr;
    }
    object.release();
    m_window->resize(windowSize);
    m_root->setParentItem(m_window->contentItem());
    if (!m_window->isVisible()) {
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }
    return m_root;
}

QQuickItem* ViewHarness::findIn(QQuickItem* item, const QString& objectName) {
    if (item->objectName() == objectName) return item;
    for (QQuickItem* child : item->childItems())
        if (QQuickItem* found = findIn(child, objectName)) return found;
    return nullptr;
}

QQuickItem* ViewHarness::find(const QString& objectName) const {
    if (!m_root) return nullptr;
    if (QQuickItem* found = findIn(m_root, objectName)) return found;
    return m_root->findChild<QQuickItem*>(objectName);
}

QQuickItem* ViewHarness::item(const QString& objectName) const {
    QQuickItem* found = find(objectName);
    if (!found) ADD_FAILURE() << "no item " << objectName.toStdString();
    return found;
}

QString ViewHarness::text(const QString& objectName) const {
    QQuickItem* found = find(objectName);
    return found ? found->property("text").toString() : QStringLiteral("<missing %1>").arg(objectName);
}

bool ViewHarness::shows(const QString& objectName) const {
    QQuickItem* found = find(objectName);
    return found && found->isVisible() && found->opacity() > 0;
}

QImage ViewHarness::grab() {
    QCoreApplication::processEvents();
    return m_window->grabWindow().convertToFormat(QImage::Format_ARGB32);
}

QImage ViewHarness::shoot(const std::string& name) {
    QImage image = grab();
    QDir().mkpath(screenshotDir());
    const QString path = screenshotDir() + '/' + QString::fromStdString(name) + ".png";
    EXPECT_TRUE(image.save(path)) << "cannot save " << path.toStdString();
    return image;
}

void ViewHarness::shootInEveryTheme(const std::string& prefix) {
    const Theme sampled = m_theme;
    for (const auto& [theme, name] : {std::pair(Theme::Quorvelle, "quorvelle"), std::pair(Theme::Black, "black"),
                                      std::pair(Theme::Light, "light")}) {
        setTheme(theme);
        shoot(prefix + "-" + name);
    }
    setTheme(sampled);
}

QColor ViewHarness::colorAt(QQuickItem* item, QPointF local) {
    const QImage image = grab();
    const QPointF scene = item->mapToScene(local);
    const QPoint pixel(int(scene.x() * image.devicePixelRatio()), int(scene.y() * image.devicePixelRatio()));
    if (!image.rect().contains(pixel)) {
        ADD_FAILURE() << "sample point outside the window: " << pixel.x() << "," << pixel.y();
        return {};
    }
    return image.pixelColor(pixel);
}

void ViewHarness::click(QQuickItem* item, QPointF local) {
    if (!item) {
        ADD_FAILURE() << "no item to click";
        return;
    }
    QTest::mouseClick(m_window.get(), Qt::LeftButton, Qt::NoModifier, item->mapToScene(local).toPoint());
    QCoreApplication::processEvents();
}

void ViewHarness::wheel(QQuickItem* item, QPointF local) {
    if (!item) {
        ADD_FAILURE() << "no item to turn the wheel over";
        return;
    }
    const QPointF at = item->mapToScene(local);
    QWheelEvent event(at, m_window->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    // A notch well after the last one, so that no flick speed carries over.
    static ulong time = 0;
    event.setTimestamp(time += 10000);
    QCoreApplication::sendEvent(m_window.get(), &event);
    QCoreApplication::processEvents();
}

void ViewHarness::typeText(const QString& text) {
    // Key events carrying the text, so that letters beyond ASCII type as they are.
    for (const QChar c : text)
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(m_window.get(), &event);
        }
    QCoreApplication::processEvents();
}

void ViewHarness::pressKey(Qt::Key key) {
    QTest::keyClick(m_window.get(), key);
    QCoreApplication::processEvents();
}

namespace {

QStringList collectTexts(QQuickItem* item, bool symbols) {
    QStringList out;
    if (!item || !item->isVisible()) return out;
    const bool symbol = item->property("font").value<QFont>().family() == ViewFonts::icons();
    if (item->inherits("QQuickText") && symbol == symbols) {
        QString text = item->property("text").toString();
        // A symbol's glyph name, looked up back to the design's symbol name.
        const QStringList names = symbols ? SymbolTable::symbolNames() : QStringList();
        const auto named =
            std::ranges::find_if(names, [&](const QString& name) { return SymbolTable::glyphName(name) == text; });
        out << (named != names.end() ? *named : text);
    }
    for (QQuickItem* child : item->childItems())
        out << collectTexts(child, symbols);
    return out;
}

}  // namespace

QStringList textsIn(QQuickItem* item) {
    return collectTexts(item, false);
}

QStringList glyphsIn(QQuickItem* item) {
    return collectTexts(item, true);
}

QString loggedScene(const QString& body) {
    return QStringLiteral(
               "Item {\n  id: scene\n  property var log: []\n  function note(line) { log = log.concat([line]) }\n"
               "  width: 640\n%1\n}\n")
        .arg(body);
}

bool near(const QColor& a, const QColor& b, int tolerance) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace quorvelle::test
