// Legibility in every theme, measured on what is drawn: each text of the popover (ready state, its
// settings, the setup screen) and of every dashboard page reads at 4.5:1 at least against the pixels
// behind it, and the popover's check boxes and unchosen segments are outlined at 3:1 at least.
#include "DrawnText.h"
#include "Services/Backend/WebRequestError.h"
#include "TestEventLoop.h"
#include "ViewModelScene.h"
#include "Views/Dashboard/Components/DashboardSections.h"

#include <cmath>

namespace quorvelle::test {
namespace {

const std::pair<DesktopThemeOption, const char*> themes[] = {{DesktopThemeOption::quorvelle, "quorvelle"},
                                                             {DesktopThemeOption::black, "black"},
                                                             {DesktopThemeOption::light, "light"}};

class ThemeContrastTest : public ViewModelScene {
protected:
    void loadPopover() {
        ASSERT_TRUE(load(R"qml(ContentView {
            viewModel: vm; width: 360; height: 1100
            appShell: QtObject { function quit() {} function openDashboard() {} }
        })qml",
                         {360, 1100}));
    }
    // The texts drawn below 4.5:1 in the current state.
    QString illegible(QQuickItem* scope) { return illegibleTexts(scope, harness.grab()).join("\n  "); }
    // The outline of a control's box against the window just outside it, as drawn.
    double outlineContrast(QQuickItem* box) {
        const QImage image = harness.grab();
        const QPointF edge = box->mapToScene({0, box->height() / 2});
        const QPoint pixel(int(std::floor(edge.x())), int(std::floor(edge.y())));
        return contrast(image.pixelColor(pixel), image.pixelColor(pixel - QPoint(3, 0)));
    }
};

TEST_F(ThemeContrastTest, ThePopoverReadsAndItsCheckBoxesAndSegmentsShowInEveryTheme) {
    fakes.makeReadyForCloudDictation();
    loadPopover();
    PreferencesViewModel* preferences = viewModel->preferences();
    preferences->setClipboardFallbackEnabled(false);
    for (const auto& [theme, name] : themes) {
        SCOPED_TRACE(name);
        preferences->setDesktopTheme(theme);
        harness.click(item("ready-tab-overview"));
        settle();
        const QString status = illegible(harness.root());
        EXPECT_TRUE(status.isEmpty()) << "status tab:\n  " << status.toStdString();
        harness.shoot(std::string("popover-contrast-status-") + name);

        harness.click(item("ready-tab-settings"));
        settle();
        const QString settings = illegible(harness.root());
        EXPECT_TRUE(settings.isEmpty()) << "settings tab:\n  " << settings.toStdString();
        QQuickItem* box = item("settings-clipboard-fallback");
        ASSERT_FALSE(box->property("checked").toBool());
        EXPECT_GE(outlineContrast(box->property("indicator").value<QQuickItem*>()), 3.0) << "unchecked box";
        QQuickItem* unchosen = item(preferences->selectedRecordingTriggerMode() == RecordingTriggerMode::toggle
                                        ? "settings-mode-pushToTalk"
                                        : "settings-mode-toggle");
        EXPECT_GE(outlineContrast(unchosen), 3.0) << "unchosen segment";
        harness.shoot(std::string("popover-contrast-settings-") + name);
    }
}

TEST_F(ThemeContrastTest, TheSetupScreenReadsInEveryThemeWithAFailedModel) {
    fakes.makeReadyForCloudDictation();
    fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend), "local");
    loadPopover();
    fakes.localModels->downloadOutcome.pushFailure(
        WebRequestError::transportFailure(QNetworkReply::ConnectionRefusedError, ""));
    harness.click(item("setup-model-tinyMultilingual-primary"));
    ASSERT_TRUE(waitUntil([&] { return text("setup-model-tinyMultilingual-state") == "Retry needed"; }));
    for (const auto& [theme, name] : themes) {
        SCOPED_TRACE(name);
        viewModel->preferences()->setDesktopTheme(theme);
        settle();
        const QString faults = illegible(harness.root());
        EXPECT_TRUE(faults.isEmpty()) << faults.toStdString();
        harness.shoot(std::string("setup-contrast-") + name);
    }
}

TEST_F(ThemeContrastTest, EveryDashboardPageReadsInEveryTheme) {
    fakes.history->entries.append({QUuid::createUuid(), fakes.clock.now().addSecs(-60), QStringLiteral("A dictation"),
                                   2.5, 2, TranscriptHistoryCompletionKind::inserted});
    fakes.makeReadyForCloudDictation();
    // Tall enough for the longest page, so that every text is drawn.
    ASSERT_TRUE(loadDashboard("english", {1270, 3400}));
    for (const auto& [theme, name] : themes) {
        viewModel->preferences()->setDesktopTheme(theme);
        for (MainWindowSection section : allMainWindowSections()) {
            const QString raw = rawValue(section);
            raw == QStringLiteral("subscription") ? state()->showAccount() : state()->selectSection(raw);
            settle();
            const QString faults = illegible(item("main-window-detail"));
            EXPECT_TRUE(faults.isEmpty()) << name << " " << raw.toStdString() << ":\n  " << faults.toStdString();
        }
    }
}

}  // namespace
}  // namespace quorvelle::test
