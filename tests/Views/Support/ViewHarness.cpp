#include "ViewHarness.h"

#include "Views/Common/Motion.h"
#include "Views/Common/SymbolTable.h"
#include "Views/Common/ViewFonts.h"
#include "Views/Common/ViewSetup.h"
#include "Views/Dashboard/Components/DesktopTheme.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlExpression>
#include <QTest>

#include <cstdlib>

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
        palette.setColor(QPalette::Window, QColor(236, 236, 236));
        palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
        palette.setColor(QPalette::Base, QColor(255, 255, 255));
        palette.setColor(QPalette::Text, QColor(0, 0, 0));
        palette.setColor(QPalette::Button, QColor(236, 236, 236));
        palette.setColor(QPalette::ButtonText, QColor(0, 0, 0));
        palette.setColor(QPalette::Highlight, QColor(48, 140, 198));
        palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
        QGuiApplication::setPalette(palette);
        return true;
    }();
    Q_UNUSED(done);
}

DesktopTheme* themeSingleton(QQmlEngine& engine) {
    const int typeId = qmlTypeId("Quorvelle", 1, 0, "DesktopTheme");
    return engine.singletonInstance<DesktopTheme*>(typeId);
}

}  // namespace

DesktopThemeColors colorsOf(Theme theme) {
    switch (theme) {
        case Theme::Quorvelle: return DesktopThemeColors::quorvelle();
        case Theme::Black: return DesktopThemeColors::black();
        case Theme::Light: return DesktopThemeColors::light();
    }
    return DesktopThemeColors::black();
}

std::string nameOf(Theme theme) {
    switch (theme) {
        case Theme::Quorvelle: return "quorvelle";
        case Theme::Black: return "black";
        case Theme::Light: return "light";
    }
    return "unknown";
}

int CallRecorder::count(const QString& name) const {
    const auto found = m_counts.find(name);
    return found == m_counts.end() ? 0 : found->second;
}

ViewHarness::ViewHarness() {
    prepareOnce();
    m_engine = std::make_unique<QQmlEngine>();
    m_engine->rootContext()->setContextProperty(QStringLiteral("recorder"), &m_recorder);
    m_window = std::make_unique<QQuickWindow>();
    setTheme(Theme::Black);
}

ViewHarness::~ViewHarness() {
    delete m_root;
    m_window.reset();
    m_engine.reset();
}

void ViewHarness::setTheme(Theme theme) {
    DesktopTheme* singleton = themeSingleton(*m_engine);
    if (singleton)
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
    QObject* object = component.create();
    if (!object) {
        ADD_FAILURE() << "QML did not load: " << component.errorString().toStdString();
        return nullptr;
    }
    delete m_root;
    m_root = qobject_cast<QQuickItem*>(object);
    if (!m_root) {
        ADD_FAILURE() << "the scene's root is not an item";
        delete object;
        return nullptr;
    }
    m_window->resize(windowSize);
    m_root->setParentItem(m_window->contentItem());
    if (!m_window->isVisible()) {
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }
    return m_root;
}

namespace {

// Along the visual tree: items a Repeater or Loader makes are not QObject children of the scene.
QQuickItem* findInTree(QQuickItem* item, const QString& objectName) {
    if (item->objectName() == objectName) return item;
    for (QQuickItem* child : item->childItems()) {
        if (QQuickItem* found = findInTree(child, objectName)) return found;
    }
    return nullptr;
}

}  // namespace

QQuickItem* ViewHarness::find(const QString& objectName) const {
    if (!m_root) return nullptr;
    if (QQuickItem* found = findInTree(m_root, objectName)) return found;
    return m_root->findChild<QQuickItem*>(objectName);
}

QImage ViewHarness::grab() {
    QCoreApplication::processEvents();
    QImage image = m_window->grabWindow();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString ViewHarness::screenshotDir() {
    return QStringLiteral(QUORVELLE_SCREENSHOT_DIR);
}

QImage ViewHarness::shoot(const std::string& name) {
    QImage image = grab();
    QDir().mkpath(screenshotDir());
    const QString path = screenshotDir() + QLatin1Char('/') + QString::fromStdString(name) + QStringLiteral(".png");
    EXPECT_TRUE(image.save(path)) << "cannot save " << path.toStdString();
    return image;
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
    const QPoint point = item->mapToScene(local).toPoint();
    QTest::mouseClick(m_window.get(), Qt::LeftButton, Qt::NoModifier, point);
    QCoreApplication::processEvents();
}

void ViewHarness::click(QQuickItem* item) {
    click(item, QPointF(item->width() / 2, item->height() / 2));
}

void ViewHarness::typeText(const QString& text) {
    // Key events carrying the text, so that letters beyond ASCII type as they are.
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(m_window.get(), &press);
        QCoreApplication::sendEvent(m_window.get(), &release);
    }
    QCoreApplication::processEvents();
}

void ViewHarness::pressKey(Qt::Key key) {
    QTest::keyClick(m_window.get(), key);
    QCoreApplication::processEvents();
}

QVariant ViewHarness::evaluate(QObject* scope, const QString& expression) {
    QQmlExpression expr(qmlContext(scope), scope, expression);
    const QVariant value = expr.evaluate();
    if (expr.hasError()) ADD_FAILURE() << expr.error().toString().toStdString();
    return value;
}

namespace {

bool isSymbol(const QQuickItem* item) {
    return item->property("font").value<QFont>().family() == ViewFonts::icons();
}

void collectTexts(QQuickItem* item, bool symbols, QStringList& out) {
    if (!item->isVisible()) return;
    if (item->inherits("QQuickText") && isSymbol(item) == symbols) {
        const QString text = item->property("text").toString();
        if (symbols) {
            // A symbol's glyph name, looked up back to the design's symbol name.
            const QStringList names = SymbolTable::symbolNames();
            QString symbol = text;
            for (const QString& name : names) {
                if (SymbolTable::glyphName(name) == text) {
                    symbol = name;
                    break;
                }
            }
            out << symbol;
        } else {
            out << text;
        }
    }
    for (QQuickItem* child : item->childItems())
        collectTexts(child, symbols, out);
}

}  // namespace

QStringList textsIn(QQuickItem* item) {
    QStringList out;
    if (item) collectTexts(item, false, out);
    return out;
}

QStringList glyphsIn(QQuickItem* item) {
    QStringList out;
    if (item) collectTexts(item, true, out);
    return out;
}

QQuickItem* ThemedSceneTest::loadScene(const char* qml, QSize windowSize, const std::string& shotPrefix) {
    harness.setTheme(GetParam());
    QQuickItem* root = harness.load(QString::fromUtf8(qml), windowSize);
    if (root && !shotPrefix.empty()) shootInEveryTheme(shotPrefix);
    return root;
}

void ThemedSceneTest::shootInEveryTheme(const std::string& prefix) {
    for (Theme theme : kAllThemes) {
        harness.setTheme(theme);
        harness.shoot(prefix + "-" + nameOf(theme));
    }
    harness.setTheme(GetParam());
}

QQuickItem* ThemedSceneTest::item(const QString& objectName) {
    QQuickItem* found = harness.find(objectName);
    EXPECT_TRUE(found) << "no item " << objectName.toStdString();
    return found;
}

QColor over(const QColor& top, const QColor& bottom) {
    const double a = top.alphaF();
    const double b = bottom.alphaF() * (1 - a);
    const double alpha = a + b;
    if (alpha <= 0) return QColor(0, 0, 0, 0);
    auto mix = [&](double t, double u) { return (t * a + u * b) / alpha; };
    return QColor::fromRgbF(float(mix(top.redF(), bottom.redF())), float(mix(top.greenF(), bottom.greenF())),
                            float(mix(top.blueF(), bottom.blueF())), float(alpha));
}

bool near(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

std::string describe(const QColor& color) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha())
        .toStdString();
}

}  // namespace quorvelle::test
