#pragma once

#include "FakeBootstrap.h"
#include "Services/Backend/WebRequestError.h"
#include "Services/Storage/SettingsKeys.h"
#include "ViewHarness.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/MainWindowState.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>

#include <memory>

namespace quorvelle::test {

inline QQuickItem* findIn(QQuickItem* scope, const QString& name) {
    return scope ? ViewHarness::findIn(scope, name) : nullptr;
}

// Names each control that takes the focus of `window` while hidden, for as long as it lives: a screen
// reader would name a control that is gone.
class HiddenFocusWatch {
public:
    explicit HiddenFocusWatch(QQuickWindow& window) {
        QObject::connect(&window, &QQuickWindow::activeFocusItemChanged, &m_listening, [this, &window] {
            const QQuickItem* focus = window.activeFocusItem();
            if (focus && !focus->isVisible()) m_names << focus->objectName();
        });
    }
    QStringList names() const { return m_names; }
    void clear() { m_names.clear(); }

private:
    QStringList m_names;
    QObject m_listening;
};

// A view over the view model built from fakes: set the fakes (or a service in `bootstrap`), then
// load a root that reads the view model as `vm` and, for a page alone, the window state as `ws`.
class ViewModelScene : public ::testing::Test {
protected:
    // language: the stored interface language, "english" or "turkish".
    QQuickItem* load(const QString& qml, QSize size, const char* language = "english") {
        fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedAppLanguage),
                                      QString::fromLatin1(language));
        viewModel = std::make_unique<AppViewModel>(bootstrap, fakes.environment());
        pageState.setViewModel(viewModel.get());
        harness.engine().rootContext()->setContextProperty(QStringLiteral("vm"), viewModel.get());
        harness.engine().rootContext()->setContextProperty(QStringLiteral("ws"), &pageState);
        QQuickItem* root = harness.load(qml, size);
        // Showing fitted the window to the small offscreen screen; the tests want the size asked for.
        harness.window().setMinimumSize(size);
        harness.window().resize(size);
        return root;
    }
    QQuickItem* loadDashboard(const char* language = "english", QSize size = {1270, 835}) {
        return load(QStringLiteral("MainWindowView { anchors.fill: parent; viewModel: vm }"), size, language);
    }
    // The dashboard on one section's page, in a window tall enough for all of it.
    QQuickItem* open(const QString& section, const char* language = "english", bool signedIn = true) {
        if (signedIn) fakes.makeReadyForCloudDictation();
        if (!loadDashboard(language, {1270, 1500})) return nullptr;
        // The account shortcut is the way no sign-in lock stops.
        section == QStringLiteral("subscription") ? state()->showAccount() : state()->selectSection(section);
        settle();
        return harness.find(section + QStringLiteral("-page"));
    }
    MainWindowState* state() { return harness.root()->property("windowState").value<MainWindowState*>(); }
    // Rows a list let go of are deleted first, so that no stale row is found.
    QQuickItem* item(const QString& name, QQuickItem* scope = nullptr) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QQuickItem* found = scope ? findIn(scope, name) : harness.find(name);
        EXPECT_TRUE(found) << "no item " << name.toStdString();
        return found;
    }
    bool shows(const QString& name) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QQuickItem* found = harness.find(name);
        return found && found->isVisible();
    }
    // A missing item fails the test (item() says which) rather than ending the test program.
    QString text(const QString& name, QQuickItem* scope = nullptr) {
        QQuickItem* found = item(name, scope);
        return found ? found->property("text").toString() : QString();
    }
    bool selected(const QString& name) {
        QQuickItem* found = item(name);
        return found && found->property("isSelected").toBool();
    }
    QString message() const { return viewModel->inlineMessageText(); }
    std::optional<QString> stored(const char* key) const {
        return fakes.userDefaults->string(QString::fromLatin1(key));
    }
    // Return on a model row's button, given the keyboard focus, for a download that fails: the model
    // host is out of reach.
    void pressReturnOnFailingDownload(QQuickItem* button) {
        button->forceActiveFocus(Qt::TabFocusReason);
        settle();
        fakes.localModels->downloadOutcome.pushFailure(
            WebRequestError::transportFailure(QNetworkReply::ConnectionRefusedError, ""));
        harness.pressKey(Qt::Key_Return);
    }
    // Gives `button` the keyboard focus and lets one automatic approval poll of a waiting sign-in run,
    // held open and then answered: the button keeps the focus, with no focus event, and stays usable.
    void expectFocusStillThroughAPoll(const QString& button) {
        SCOPED_TRACE(button.toStdString());
        item(button)->forceActiveFocus(Qt::TabFocusReason);
        QSignalSpy focusMoves(&harness.window(), &QQuickWindow::activeFocusItemChanged);
        fakes.account->held.setHolding(true);
        fakes.pollSleeper.finishOldest();
        settle();
        EXPECT_TRUE(viewModel->account()->isBackendAuthPolling()) << "no poll is running";
        EXPECT_TRUE(item(button)->isEnabled());
        fakes.account->held.setHolding(false);
        fakes.account->held.releaseAll();
        settle();
        EXPECT_EQ(harness.window().activeFocusItem(), item(button));
        EXPECT_EQ(focusMoves.count(), 0);
    }
    // Whether `item` lies wholly inside the view of the scrolling `area`; says where it lies if not.
    static ::testing::AssertionResult inView(QQuickItem* item, QQuickItem* area) {
        const QRectF box = item->mapRectToItem(area, QRectF(0, 0, item->width(), item->height()));
        if (box.top() >= 0 && box.bottom() <= area->height()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << item->objectName().toStdString() << " at " << box.top() << ".."
                                             << box.bottom() << " of " << area->height();
    }
    // Lets the view model's tasks and the bindings run, and a left page go.
    static void settle() {
        for (int turn = 0; turn < 6; ++turn)
            QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    FakeBootstrap fakes;
    AppBootstrap bootstrap = fakes.bootstrap();
    std::unique_ptr<AppViewModel> viewModel;
    MainWindowState pageState;
    ViewHarness harness;
};

}  // namespace quorvelle::test
