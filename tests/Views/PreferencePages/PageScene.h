#pragma once

#include "FakeBootstrap.h"
#include "Services/Storage/SettingsKeys.h"
#include "ViewHarness.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/MainWindowState.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QQmlContext>

#include <memory>

namespace quorvelle::test {

// One dashboard page inside the whole window, over the view model built from fakes, in a window
// tall enough that every control of the page is on screen.
class PageScene : public ::testing::Test {
protected:
    // Set the fakes first; language is the stored interface language, "english" or "turkish".
    QQuickItem* open(const QString& section, const char* language = "english") {
        fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedAppLanguage),
                                      QString::fromLatin1(language));
        viewModel = std::make_unique<AppViewModel>(bootstrap, fakes.environment());
        harness.engine().rootContext()->setContextProperty(QStringLiteral("vm"), viewModel.get());
        if (!harness.load(QStringLiteral("MainWindowView { anchors.fill: parent; viewModel: vm }"), kSize))
            return nullptr;
        // Showing fitted the window to the small offscreen screen; the pages are looked at whole.
        harness.window().setMinimumSize(kSize);
        harness.window().resize(kSize);
        // The account page is reached through the sidebar's account shortcut, which no lock stops.
        if (section == QStringLiteral("subscription"))
            state()->showAccount();
        else
            state()->selectSection(section);
        settle();
        return harness.find(section + QStringLiteral("-page"));
    }
    MainWindowState* state() { return harness.root()->property("windowState").value<MainWindowState*>(); }
    QQuickItem* item(const QString& name) {
        QQuickItem* found = harness.find(name);
        EXPECT_TRUE(found) << "no item " << name.toStdString();
        return found;
    }
    bool shows(const QString& name) {
        QQuickItem* found = harness.find(name);
        return found && found->isVisible();
    }
    QString text(const QString& name) {
        QQuickItem* found = item(name);
        return found ? found->property("text").toString() : QString();
    }
    QString message() const { return viewModel->inlineMessage().value_or(QStringLiteral("<none>")); }
    // Lets the view model's tasks and the bindings run, and a left page go.
    static void settle() {
        for (int turn = 0; turn < 5; ++turn)
            QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static constexpr QSize kSize{1270, 1500};
    FakeBootstrap fakes;
    // Built from the fakes; a test may replace a service before opening the page.
    AppBootstrap bootstrap = fakes.bootstrap();
    std::unique_ptr<AppViewModel> viewModel;
    ViewHarness harness;
};

}  // namespace quorvelle::test
