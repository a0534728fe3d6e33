// The dashboard root: routing, the sign-in lock, the sheets and reloading when shown again.
#include "TestEventLoop.h"
#include "ViewModelScene.h"

#include "Views/Dashboard/Components/DashboardSections.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTest>

namespace quorvelle::test {
namespace {

class MainWindowViewTest : public ViewModelScene {
protected:
    QQuickItem* load(bool signedIn, const char* language = "english") {
        if (signedIn) fakes.makeReadyForCloudDictation();
        return loadDashboard(language);
    }
    QQuickItem* sectionButton(const QString& section) { return item("main-window-section-" + section); }
    QString title() { return text("main-window-page-title"); }
};

TEST_F(MainWindowViewTest, EverySectionRoutesToAFreshPageAndSheetsBelongToTheWindowAndEscapeOrCloseDismissesThem) {
    ASSERT_TRUE(load(true));
    QPointer<QQuickItem> firstOverview = item("overview-page");
    for (MainWindowSection section : allMainWindowSections()) {
        const QString raw = rawValue(section);
        harness.click(sectionButton(raw));
        EXPECT_EQ(state()->selectedSection(), section) << raw.toStdString();
        EXPECT_TRUE(shows("main-window-page-" + raw) && shows(raw + "-page")) << raw.toStdString();
        EXPECT_EQ(title(), state()->pageTitle());
        EXPECT_TRUE(sectionButton(raw)->property("isSelected").toBool()) << raw.toStdString();
        EXPECT_EQ(glyphsIn(sectionButton(raw)), QStringList{symbolName(section)});
    }
    harness.click(sectionButton("overview"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(firstOverview.isNull());
    EXPECT_TRUE(shows("overview-page"));
    harness.shoot("dashboard-overview-en");

    // A section opens at its top, wherever the one before was scrolled to; one version shows.
    harness.click(sectionButton("settings"));
    QQuickItem* detail = item("main-window-detail");
    detail->setProperty("contentY", detail->property("contentHeight").toReal() - detail->height());
    EXPECT_GT(detail->property("contentY").toReal(), 0);
    EXPECT_EQ(text("settings-version"), "Quorvelle " QUORVELLE_PROJECT_VERSION);
    EXPECT_EQ(text("sidebar-version"), "v" QUORVELLE_PROJECT_VERSION);
    // The wheel over the language list moves the page, from the first notch: the list, a hundred
    // languages long, does not hold the page back. So it does with the list scrolled to its end.
    QQuickItem* list = item("settings-language-list");
    detail->setProperty("contentY",
                        list->mapToItem(detail->property("contentItem").value<QQuickItem*>(), {0, 0}).y() - 100);
    for (const qreal listAt : {0.0, list->property("contentHeight").toReal() - list->height()}) {
        list->setProperty("contentY", listAt);
        const qreal before = detail->property("contentY").toReal();
        harness.wheel(list, {20, 20});
        EXPECT_GT(detail->property("contentY").toReal(), before) << listAt;
        EXPECT_EQ(list->property("contentY").toReal(), listAt);
        detail->setProperty("contentY", before);
    }
    harness.click(sectionButton("snippets"));
    EXPECT_EQ(detail->property("contentY").toReal(), 0);

    // On a 1024x600 screen the sidebar scrolls to its last section rather than cover it.
    harness.window().setMinimumSize({0, 0});
    harness.window().resize(1024, 600);
    harness.shoot("dashboard-snippets-1024x600");
    QQuickItem* sections = item("sidebar-sections");
    sections->setProperty("contentY", std::max(0.0, sections->property("contentHeight").toReal() - sections->height()));
    const QRectF last = sectionButton("changelog")->mapRectToItem(sections, QRectF(0, 0, 1, 30));
    EXPECT_TRUE(last.top() >= 0 && last.bottom() <= sections->height());
    harness.window().resize(1270, 835);

    // The sheets belong to the window; Escape or Close dismisses them.
    auto* cloud = harness.root()->findChild<QQuickWindow*>("cloud-disclosure-sheet");
    auto* capture = harness.root()->findChild<QQuickWindow*>("hotkey-capture-sheet");
    ASSERT_TRUE(cloud && capture);
    EXPECT_EQ(cloud->transientParent(), &harness.window());
    state()->showAccount();
    settle();
    harness.click(item("account-cloud-disclosure"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(cloud));
    cloud->requestActivate();
    QTest::keyClick(cloud, Qt::Key_Escape);
    EXPECT_FALSE(viewModel->permissions()->showingGroqDisclosureSheet());
    EXPECT_FALSE(cloud->isVisible());

    state()->setProperty("showingHotkeyCaptureSheet", true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(capture));
    QQuickItem* recorder = findIn(capture->contentItem(), "capture-sheet-recorder");
    ASSERT_TRUE(recorder);
    EXPECT_EQ(recorder->property("currentTitle").toString(), viewModel->preferences()->selectedHotkey().displayTitle);
    capture->close();
    EXPECT_FALSE(state()->property("showingHotkeyCaptureSheet").toBool());
}

// Collapsed, each row is a 44 x 42 tile with its own section's symbol and no title; the title is
// its tooltip, shown beside the row rather than over the row above.
TEST_F(MainWindowViewTest, TheCollapsedSidebarShowsEachSectionsOwnSymbolWithItsTitleBesideIt) {
    ASSERT_TRUE(load(true));
    harness.click(item("sidebar-collapse-toggle"));
    settle();
    // The design's symbol of each section, in the sidebar's order.
    const QStringList designed{
        "house",     "clock.arrow.circlepath", "book.closed", "text.badge.plus", "doc.text", "command", "creditcard",
        "gearshape", "paintpalette",           "sparkles"};
    QStringList shown;
    QQuickItem* above = nullptr;
    for (MainWindowSection section : allMainWindowSections()) {
        const QString raw = rawValue(section);
        SCOPED_TRACE(raw.toStdString());
        QQuickItem* row = sectionButton(raw);
        EXPECT_EQ(row->size(), QSizeF(44, 42));
        EXPECT_TRUE(textsIn(row).isEmpty());
        shown << glyphsIn(row);
        QTest::mouseMove(&harness.window(), row->mapToScene({22, 21}).toPoint());
        QCoreApplication::processEvents();
        auto* tip = row->findChild<QObject*>(row->objectName() + "-tooltip");
        ASSERT_TRUE(tip);
        EXPECT_TRUE(tip->property("visible").toBool());
        EXPECT_FALSE(tip->property("text").toString().isEmpty());
        EXPECT_EQ(tip->property("text").toString(), row->property("title").toString());
        const QRectF tipBox =
            row->mapRectToScene(QRectF(tip->property("x").toReal(), tip->property("y").toReal(),
                                       tip->property("width").toReal(), tip->property("height").toReal()));
        EXPECT_GE(tipBox.left(), row->mapToScene({44, 0}).x());
        if (above) {
            EXPECT_FALSE(tipBox.intersects(above->mapRectToScene({0, 0, above->width(), above->height()})));
        }
        above = row;
    }
    EXPECT_EQ(shown, designed);
    harness.shoot("dashboard-sidebar-collapsed-tooltip");
}

TEST_F(MainWindowViewTest, SignedOutTheLockedPageRunsTheSignInAndItsApprovalUnlocksAndShowingAgainReloads) {
    ASSERT_TRUE(load(false, "turkish"));
    EXPECT_FALSE(sectionButton("changelog")->isEnabled());
    harness.click(sectionButton("changelog"));
    EXPECT_EQ(state()->selectedSection(), MainWindowSection::overview);
    EXPECT_TRUE(shows("sign-in-required-page") && !shows("overview-page"));
    EXPECT_EQ(title(), QString::fromUtf8("Giriş gerekli"));
    // No challenge yet: the web and check buttons are off and dimmed, Sign Out is absent.
    EXPECT_FALSE(item("sign-in-open-web")->isEnabled());
    EXPECT_DOUBLE_EQ(item("sign-in-check")->opacity(), 0.55);
    EXPECT_FALSE(shows("sign-in-sign-out") || shows("sign-in-approval") || shows("main-window-inline-message"));
    harness.shoot("dashboard-sign-in-required-tr");

    fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedDesktopTheme), QStringLiteral("light"));
    harness.window().hide();
    harness.window().show();
    QCoreApplication::processEvents();
    EXPECT_EQ(viewModel->preferences()->selectedDesktopTheme(), DesktopThemeOption::light);

    fakes.account->held.setHolding(true);
    harness.click(item("sign-in-start"));
    EXPECT_FALSE(item("sign-in-start")->isEnabled());
    fakes.account->held.releaseAll();
    settle();
    EXPECT_EQ(text("sign-in-user-code"), FakeBackendAuthSessionManager::sampleChallenge().userCode);
    EXPECT_TRUE(item("sign-in-open-web")->isEnabled() && item("sign-in-check")->isEnabled());
    // The view model's line, between the header and the page.
    harness.grab();
    const qreal line = item("main-window-inline-message")->y();
    EXPECT_TRUE(shows("main-window-inline-message") && line > item("main-window-page-header")->y() &&
                line < item("main-window-page-loader")->y());
    harness.shoot("dashboard-sign-in-code-tr");

    // The account shortcut leads to the account page, which is never locked.
    harness.click(item("sidebar-account-shortcut"));
    EXPECT_TRUE(shows("subscription-page"));
    EXPECT_EQ(title(), "Hesap");
    state()->viewFullHistory();
    settle();
    EXPECT_TRUE(shows("sign-in-required-page"));
    fakes.account->storedSession = true;
    fakes.account->deviceID = QStringLiteral("device-1");
    viewModel->reloadSettings();
    EXPECT_TRUE(shows("history-page"));
    EXPECT_TRUE(sectionButton("history")->isEnabled());
}

// The approved sign-in takes the locked page, and the button that had the focus, away: the section's
// own page takes the focus, so that the keyboard and a screen reader go on from there.
TEST_F(MainWindowViewTest, TheUnlockedPageTakesTheFocusThatTheSignInPageHad) {
    ASSERT_TRUE(load(false));
    harness.click(item("sign-in-start"));
    ASSERT_TRUE(waitUntil([&] { return item("sign-in-check")->isEnabled(); }));
    harness.window().requestActivate();
    item("sign-in-check")->forceActiveFocus(Qt::TabFocusReason);
    fakes.account->pollAnswer.push({QStringLiteral("approved"), true, QStringLiteral("device-1")});
    harness.pressKey(Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return shows("overview-page"); }));
    const auto focusedInPage = [&] {
        QQuickItem* focused = harness.window().activeFocusItem();
        QQuickItem* page = harness.find("overview-page");
        for (QQuickItem* at = focused; page && at && focused->isVisible(); at = at->parentItem())
            if (at == page) return true;
        return false;
    };
    EXPECT_TRUE(waitUntil(focusedInPage));
    EXPECT_EQ(harness.window().activeFocusItem()->objectName(), "overview-view-full-history");
}

// The dashboard opens with its first control, the Overview section, in the focus; shown again, it keeps
// a focus the user moved elsewhere.
TEST_F(MainWindowViewTest, TheWindowOpensOnItsFirstControl) {
    ASSERT_TRUE(load(true));
    harness.window().requestActivate();
    const auto focused = [&] {
        QQuickItem* focus = harness.window().activeFocusItem();
        return focus && focus->isVisible() ? focus->objectName() : QString();
    };
    EXPECT_TRUE(waitUntil([&] { return focused() == "main-window-section-overview"; })) << focused().toStdString();
    sectionButton("history")->forceActiveFocus(Qt::TabFocusReason);
    harness.window().hide();
    harness.window().show();
    harness.window().requestActivate();
    settle();
    EXPECT_EQ(focused(), "main-window-section-history");
}

// A sheet opened from the keyboard shows the ring around the control it gives the focus to (the capture
// sheet's record button, the disclosure sheet's text) at once; opened by a click, it shows none.
TEST_F(MainWindowViewTest, ASheetOpenedFromTheKeyboardDrawsTheFocusItGives) {
    ASSERT_TRUE(load(true));
    struct Case {
        const char* section;
        const char* opener;
        const char* sheet;
        const char* focused;
    };
    const Case cases[] = {{"shortcuts", "shortcut-primary", "hotkey-capture-sheet", "hotkey-capture-button"},
                          {"subscription", "account-privacy", "privacy-disclosure-sheet", "disclosure-body"}};
    for (const Case& c : cases) {
        for (const bool keyboard : {true, false}) {
            SCOPED_TRACE(std::string(c.sheet) + (keyboard ? " by keyboard" : " by click"));
            c.section == std::string("subscription") ? state()->showAccount() : state()->selectSection(c.section);
            settle();
            auto* sheet = harness.root()->findChild<QQuickWindow*>(c.sheet);
            ASSERT_TRUE(sheet);
            // The window comes back to the front as the sheet before goes.
            harness.window().requestActivate();
            ASSERT_TRUE(waitUntil([&] { return QGuiApplication::focusWindow() == &harness.window(); }));
            if (keyboard) {
                item(c.opener)->forceActiveFocus(Qt::TabFocusReason);
                harness.pressKey(Qt::Key_Return);
            } else {
                harness.click(item(c.opener));
            }
            ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
            sheet->requestActivate();
            ASSERT_TRUE(waitUntil(
                [&] { return sheet->activeFocusItem() && sheet->activeFocusItem()->objectName() == c.focused; }));
            QQuickItem* ring = findIn(sheet->contentItem(), "focus-ring");
            ASSERT_TRUE(ring);
            EXPECT_EQ(ring->isVisible(), keyboard);
            EXPECT_EQ(ring->parentItem() == sheet->activeFocusItem(), keyboard);
            sheet->grabWindow().save(ViewHarness::screenshotDir() + "/dashboard-" + c.sheet +
                                     (keyboard ? "-keyboard.png" : "-click.png"));
            QTest::keyClick(sheet, Qt::Key_Escape);
            ASSERT_TRUE(waitUntil([&] { return !sheet->isVisible(); }));
        }
    }
}

// While the sign-in waits, each automatic poll leaves the locked page's focused Sign In or Check Now
// as it was, its words too.
TEST_F(MainWindowViewTest, TheLockedPagesFocusedButtonStaysStillWhileTheSignInWaits) {
    ASSERT_TRUE(load(false, "turkish"));
    harness.click(item("sign-in-start"));
    ASSERT_TRUE(waitUntil([&] { return item("sign-in-check")->isEnabled(); }));
    harness.window().requestActivate();
    ASSERT_TRUE(waitUntil([&] { return QGuiApplication::focusWindow() == &harness.window(); }));
    expectFocusStillThroughAPoll("sign-in-start");
    EXPECT_TRUE(textsIn(item("sign-in-start")).contains(QStringLiteral("Giriş Yap")));
    expectFocusStillThroughAPoll("sign-in-check");
}

// A 1024 x 600 screen, where the window keeps 560 of its height beside a panel and under its title
// bar: every section shows whole in the sidebar as it opens, none left half under the account footer;
// the overview's tiles keep one height when a Turkish title wraps.
TEST_F(MainWindowViewTest, OnALowScreenEverySectionShowsWholeAndTheTilesKeepOneHeight) {
    ASSERT_TRUE(load(true, "turkish"));
    harness.window().setMinimumSize({0, 0});
    harness.window().resize(1024, 560);
    settle();
    harness.shoot("dashboard-overview-1024x600-tr");
    QQuickItem* sections = item("sidebar-sections");
    EXPECT_EQ(sections->property("contentY").toReal(), 0);
    for (const QString& section : DashboardSections::all()) {
        QQuickItem* button = sectionButton(section);
        const QRectF box = button->mapRectToItem(sections, QRectF(0, 0, button->width(), button->height()));
        EXPECT_TRUE(box.top() >= 0 && box.bottom() <= sections->height())
            << section.toStdString() << " at " << box.top() << ".." << box.bottom() << " of " << sections->height();
    }
    QList<qreal> heights;
    int wrapping = 0;
    for (int index = 0; index < 4; ++index) {
        QQuickItem* tile = item("overview-metric-" + QString::number(index));
        heights << tile->height();
        const auto texts = tile->findChildren<QQuickItem*>();
        wrapping += std::ranges::any_of(texts, [](QQuickItem* text) {
            return text->inherits("QQuickText") && text->property("lineCount").toInt() > 1;
        });
    }
    ASSERT_TRUE(wrapping > 0 && wrapping < 4) << wrapping << " of the tiles wrap a text";
    EXPECT_EQ(QSet<qreal>(heights.begin(), heights.end()).size(), 1)
        << heights[0] << " " << heights[1] << " " << heights[2] << " " << heights[3];
}

}  // namespace
}  // namespace quorvelle::test
