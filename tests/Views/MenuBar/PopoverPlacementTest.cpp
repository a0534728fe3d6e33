// The tray popover as its host places it on a small 1024 x 600 screen, with the tray at the top and at
// the bottom: after every tab switch and on reopening it stays on the screen and off its icon.
#include "App/AppShellBridge.h"
#include "App/PopoverHost.h"
#include "FakeBootstrap.h"
#include "OffscreenScreen.h"
#include "ViewHarness.h"
#include "ViewModel/AppViewModel.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

const bool smallScreen = useOffscreenScreen(1024, 600, 1);

void settle() {
    for (int turn = 0; turn < 6; ++turn)
        QCoreApplication::processEvents();
}

// The screen as the user sees it: the icon that opened the popover and the popover where it is.
void shootScreen(QQuickWindow& popover, const QRect& icon, const QRect& screen, const std::string& name) {
    QImage canvas(screen.size(), QImage::Format_ARGB32);
    canvas.fill(QColor(0x40, 0x44, 0x4c));
    QPainter painter(&canvas);
    painter.fillRect(icon, QColor(0xf0, 0xa0, 0x30));
    painter.drawImage(popover.geometry(), popover.grabWindow());
    painter.end();
    QDir().mkpath(ViewHarness::screenshotDir());
    canvas.save(ViewHarness::screenshotDir() + '/' + QString::fromStdString(name) + ".png");
}

TEST(PopoverPlacement, EveryTabSwitchAndReopeningKeepsThePopoverOnTheScreenAndOffItsIcon) {
    ASSERT_TRUE(smallScreen);
    ViewHarness harness;  // the views' setup, fonts and the engine
    FakeBootstrap fakes;
    fakes.makeReadyForCloudDictation();
    const AppBootstrap bootstrap = fakes.bootstrap();
    AppViewModel viewModel(bootstrap, fakes.environment());
    AppShellBridge shell;
    PopoverHost host(viewModel, shell, harness.engine());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1024, 600));

    const std::pair<const char*, QRect> trays[] = {{"top", QRect(990, 2, 24, 24)}, {"bottom", QRect(990, 574, 24, 24)}};
    for (const auto& [where, icon] : trays) {
        for (const char* opening : {"first", "again"}) {
            ASSERT_TRUE(host.toggle(icon));
            QQuickWindow& popover = *host.window();
            ASSERT_TRUE(popover.isVisible());
            settle();
            for (const char* tab : {"overview", "settings", "overview", "settings"}) {
                const std::string step = std::string(where) + "-" + opening + "-" + tab;
                SCOPED_TRACE(step);
                QQuickItem* button = ViewHarness::findIn(popover.contentItem(), QStringLiteral("ready-tab-") + tab);
                ASSERT_TRUE(button);
                QTest::mouseClick(&popover, Qt::LeftButton, {},
                                  button->mapToScene({button->width() / 2, button->height() / 2}).toPoint());
                settle();
                const QRect frame = popover.geometry();
                EXPECT_TRUE(screen.contains(frame)) << frame.top() << ".." << frame.bottom();
                EXPECT_FALSE(frame.intersects(icon)) << frame.top() << ".." << frame.bottom();
                // The view fills the window, so the buttons at its foot show.
                QQuickItem* quit = ViewHarness::findIn(popover.contentItem(), QStringLiteral("ready-quit"));
                ASSERT_TRUE(quit);
                const QRectF quitBox = quit->mapRectToScene({0, 0, quit->width(), quit->height()});
                EXPECT_LE(quitBox.bottom(), frame.height()) << "Quit at " << quitBox.bottom();
                shootScreen(popover, icon, screen, "popover-1024x600-tray-" + step);
            }
            host.hide();
        }
    }
}

// The placement itself, where the room beside the icon is less than the popover wants.
TEST(PopoverPlacement, APopoverTallerThanTheRoomBesideItsIconIsCutToThatRoom) {
    const QRect screen(0, 28, 1024, 572);  // under a top panel that holds the icon
    const QRect icon(990, 2, 24, 24);
    EXPECT_EQ(PopoverHost::placement({360, 300}, icon, screen), QRect(664, 30, 360, 300));
    EXPECT_EQ(PopoverHost::placement({360, 900}, icon, screen), QRect(664, 30, 360, 570));
    // An icon inside the usable area, low on the screen: above it, as tall as the room there.
    const QRect low(500, 560, 24, 24);
    EXPECT_EQ(PopoverHost::placement({360, 900}, low, screen), QRect(331, 28, 360, 528));
}

}  // namespace
}  // namespace quorvelle::test
