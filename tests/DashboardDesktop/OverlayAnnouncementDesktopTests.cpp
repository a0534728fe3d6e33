// What a screen reader hears from the overlay of a newly started app, every event as it came over the
// accessibility bus: the overlay's window is made for the first state, and that state is heard once.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "FixtureApp.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quorvelle::test {
namespace {

const QStringList kHotkey{"Control_L", "Alt_L", "space"};

// The titles heard, in order: what each showing of the notification said before its first ": ".
QStringList titlesHeard(const AnnouncementListener& listener) {
    QStringList titles;
    for (const QString& words : listener.heard())
        titles << words.section(u": "_qs, 0, 0);
    return titles;
}

bool overlayShown(bool shown) {
    return waitUntil(
        [=] {
            const auto windows = windowsOfClass(QStringLiteral("Quorvelle"));
            return std::ranges::any_of(windows, [](const DesktopWindow& w) {
                       return w.viewable && !w.inTray && w.geometry.width() == 416;
                   }) == shown;
        },
        30000);
}

TEST(OverlayAnnouncementDesktop, TheFirstStateOfAFreshOverlayIsHeardOnce) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    seedSignedInSession();
    AppUnderTest app;
    app.start();
    ASSERT_TRUE(app.waitUntilHotkeyRegistered(30000)) << app.standardError().toStdString();
    const AnnouncementListener listener(app.processId());
    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("First announcement"));
    fixture.focus(QStringLiteral("single"));
    ASSERT_TRUE(bringToFront(fixture.processId()));

    // Held for a moment without a word: recording, then the too-short recording's error. A showing
    // made before the words were set is heard too, with whatever words the notification has by then.
    QStringList expected;
    for (int press = 1; press <= 2; ++press) {
        SCOPED_TRACE(press);
        sendKeys(kHotkey, true);
        ASSERT_TRUE(overlayShown(true)) << app.eventLog();
        EXPECT_TRUE(waitUntil([&] { return titlesHeard(listener).count(u"Recording"_qs) >= press; }, 30000));
        sendKeys(kHotkey, false);
        expected << u"Recording"_qs << u"No speech detected"_qs;
        // The outcome is heard after every event of the recording's showing, which the bus keeps in order.
        EXPECT_TRUE(waitUntil([&] { return titlesHeard(listener).count(u"No speech detected"_qs) == press; }, 30000))
            << listener.heard().join(" | ").toStdString();
        EXPECT_EQ(titlesHeard(listener), expected) << listener.heard().join(" | ").toStdString();
        ASSERT_TRUE(overlayShown(false)) << app.eventLog();
    }
    clearStoredSession();
}

}  // namespace
}  // namespace quorvelle::test
