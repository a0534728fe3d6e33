// The dashboard window as the application shows it in the test desktop, over the view model built
// from fakes: each section's page renders in each theme, and a picture of every one is kept.
#include "App/DashboardWindowHost.h"
#include "FakeBootstrap.h"
#include "Services/Storage/SettingsKeys.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Common/ViewSetup.h"
#include "Views/Dashboard/MainWindowState.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

namespace quorvelle::test {
namespace {

QQuickItem* findItem(QQuickItem* item, const QString& name) {
    if (item->objectName() == name) return item;
    for (QQuickItem* child : item->childItems()) {
        if (QQuickItem* found = findItem(child, name)) return found;
    }
    return nullptr;
}

TEST(DashboardSectionsDesktop, EverySectionRendersInEveryTheme) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    ViewSetup::prepare();
    const QString folder = QStringLiteral(QUORVELLE_DESKTOP_SCREENSHOT_DIR);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);

    for (const char* theme : {"quorvelle", "black", "light"}) {
        SCOPED_TRACE(theme);
        FakeBootstrap fakes;
        fakes.makeReadyForCloudDictation();
        fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedDesktopTheme),
                                      QString::fromLatin1(theme));
        AppViewModel viewModel(fakes.bootstrap(), fakes.environment());
        QQmlEngine engine;
        DashboardWindowHost host(viewModel, engine);
        host.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.window()));
        QQuickItem* root = host.window()->contentItem()->childItems().value(0);
        ASSERT_TRUE(root);
        auto* state = root->property("windowState").value<MainWindowState*>();
        ASSERT_TRUE(state);

        for (MainWindowSection section : allMainWindowSections()) {
            const QString raw = rawValue(section);
            SCOPED_TRACE(raw.toStdString());
            state->selectSection(raw);
            QTest::qWait(50);
            QQuickItem* page = findItem(root, raw + QStringLiteral("-page"));
            ASSERT_TRUE(page);
            EXPECT_TRUE(page->isVisible());
            const QImage shot = host.window()->grabWindow();
            EXPECT_EQ(shot.size() / shot.devicePixelRatio(), host.window()->size());
            EXPECT_TRUE(shot.save(folder + QStringLiteral("/dashboard-%1-%2.png").arg(raw, QLatin1String(theme))));
        }
    }
    EXPECT_EQ(QProcess::execute(QStringLiteral(QUORVELLE_CONTACT_SHEET_PATH), {folder}), 0);
}

}  // namespace
}  // namespace quorvelle::test
