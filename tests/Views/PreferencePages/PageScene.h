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
        // Showing fitted the window to the small offscreen screen.
        harness.window().setMinimumSize(kSize);
        harness.window().resize(kSize);
        // The account shortcut is the way no sign-in lock stops.
        section == QStringLiteral("subscription") ? state()->showAccount() : state()->selectSection(section);
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
    QString text(const QString& name) { return item(name)->property("text").toString(); }
    bool selected(const QString& name) { return item(name)->property("isSelected").toBool(); }
    QString message() const { return viewModel->inlineMessage().value_or(QStringLiteral("<none>")); }
    // Lets the view model's tasks and the bindings run, and a left page go.
    static void settle() {
        for (int turn = 0; turn < 5; ++turn)
            QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static constexpr QSize kSize{1270, 1500};
    FakeBootstrap fakes;
    // A test may replace a service here before opening the page.
    AppBootstrap bootstrap = fakes.bootstrap();
    std::unique_ptr<AppViewModel> viewModel;
    ViewHarness harness;
};

// Fails for each expected text that is not among the visible texts under the item.
inline void expectTexts(QQuickItem* item, std::initializer_list<const char*> expected) {
    const QStringList texts = textsIn(item);
    for (const char* one : expected)
        EXPECT_TRUE(texts.contains(QString::fromUtf8(one))) << one;
}

}  // namespace quorvelle::test
