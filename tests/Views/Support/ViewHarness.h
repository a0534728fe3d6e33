#pragma once

#include "Views/Dashboard/Components/DesktopThemeColors.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quorvelle::test {

enum class Theme { Quorvelle, Black, Light };

// One offscreen window with one QML scene, drawn by the software backend: load a snippet, find items
// by objectName, click and type, sample colours and save screenshots for the contact sheet.
class ViewHarness {
public:
    ViewHarness();
    ~ViewHarness();
    ViewHarness(const ViewHarness&) = delete;
    ViewHarness& operator=(const ViewHarness&) = delete;

    QQmlEngine& engine() { return *m_engine; }
    QQuickWindow& window() { return *m_window; }

    // Sets the dashboard theme and paints the window in its content background.
    void setTheme(Theme theme);

    // Loads `body` (QML after the imports of QtQuick, Layouts and Quorvelle) as the scene's root
    // item, in a window of the given size. Fails the test on a QML error.
    QQuickItem* load(const QString& body, QSize windowSize = {480, 320});
    QQuickItem* root() const { return m_root; }
    QQuickItem* find(const QString& objectName) const;
    // Along the visual tree (items a Repeater or Loader makes are not QObject children), from `item`.
    static QQuickItem* findIn(QQuickItem* item, const QString& objectName);
    // Like find, but fails the test when there is no such item.
    QQuickItem* item(const QString& objectName) const;
    // An item's `text`, and whether it is visible and not transparent (false when missing).
    QString text(const QString& objectName) const;
    bool shows(const QString& objectName) const;
    // The calls logged by a `loggedScene`'s callbacks.
    QStringList log() const { return m_root ? m_root->property("log").toStringList() : QStringList(); }

    QImage grab();
    // Grabs the window and saves it as <name>.png for review.
    QImage shoot(const std::string& name);
    // Saves "<prefix>-<theme>.png" in each theme for the contact sheet, then restores the theme
    // the test samples its colours in.
    void shootInEveryTheme(const std::string& prefix);
    // The colour at an item's local point in a fresh grab.
    QColor colorAt(QQuickItem* item, QPointF local);

    // A missing item (null) fails the test instead of ending the test program.
    void click(QQuickItem* item, QPointF local);
    void click(QQuickItem* item) { click(item, item ? QPointF(item->width() / 2, item->height() / 2) : QPointF()); }
    // One wheel notch down over an item's local point.
    void wheel(QQuickItem* item, QPointF local);
    void typeText(const QString& text);
    void pressKey(Qt::Key key);

    static QString screenshotDir() { return QStringLiteral(QUORVELLE_SCREENSHOT_DIR); }

private:
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_window = std::make_unique<QQuickWindow>();
    QQuickItem* m_root = nullptr;
    Theme m_theme = Theme::Black;
};

// The visible texts (symbols excluded) and the visible symbols' names under an item, in tree order.
QStringList textsIn(QQuickItem* item);
QStringList glyphsIn(QQuickItem* item);

// A scene whose root keeps a log of its callbacks' calls: `scene.note('edit|' + id)`.
QString loggedScene(const QString& body);
// Whether two colours differ by at most `tolerance` in each 8-bit channel (alpha ignored).
bool near(const QColor& a, const QColor& b, int tolerance = 6);

}  // namespace quorvelle::test

#define EXPECT_COLOR_NEAR(actual, expected)                                        \
    EXPECT_TRUE(::quorvelle::test::near((actual), (expected)))                     \
        << "got " << (actual).name(QColor::HexArgb).toStdString() << ", expected " \
        << (expected).name(QColor::HexArgb).toStdString()
