// Legibility in every theme, measured on what is drawn: each text of the popover (ready state, its
// settings, the setup screen) and of every dashboard page reads at 4.5:1 at least against the pixels
// behind it, and the check boxes, unchosen segments and switches, selection rings, fields, editors and
// pop-ups of the popover and the dashboard are outlined at 3:1 at least.
#include "DrawnText.h"
#include "Services/Backend/WebRequestError.h"
#include "TestEventLoop.h"
#include "ViewModelScene.h"
#include "Views/Dashboard/Components/DashboardSections.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <functional>

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

// Every shown, enabled control under `scope` that is known by its box, with its kind: the box is the
// background of a text field, pop-up or unchecked switch, the frame around an editor or a segment row,
// the ring of an option's selection mark.
QList<std::pair<QQuickItem*, QString>> outlinedControls(QQuickItem* scope) {
    QList<std::pair<QQuickItem*, QString>> found;
    QSet<QQuickItem*> rows;
    const std::function<void(QQuickItem*)> walk = [&](QQuickItem* item) {
        if (!item->isVisible() || !item->isEnabled() || item->opacity() == 0) return;
        const auto background = [&] { return item->property("background").value<QQuickItem*>(); };
        if (item->inherits("QQuickTextField"))
            found.append({background(), "text field"});
        else if (item->inherits("QQuickTextArea"))
            found.append({item->parentItem(), "editor"});
        else if (item->inherits("QQuickComboBox"))
            found.append({background(), "pop-up"});
        else if (item->inherits("QQuickCheckBox") && !item->property("checked").toBool())
            found.append({background(), "switch"});
        else if (item->objectName() == "selection-ring" || item->objectName() == "model-selection-mark")
            found.append({item, "selection ring"});
        else if (item->objectName().startsWith("segment-") && item->inherits("QQuickAbstractButton")) {
            QQuickItem* row = item->parentItem()->parentItem();
            if (!rows.contains(row)) found.append({row, "segments"});
            rows.insert(row);
        }
        for (QQuickItem* child : item->childItems())
            walk(child);
    };
    walk(scope);
    return found;
}

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

TEST_F(ThemeContrastTest, EveryDashboardControlKnownByItsBoxIsOutlinedInEveryTheme) {
    fakes.makeReadyForCloudDictation();
    ASSERT_TRUE(loadDashboard("english", {1270, 3400}));
    PreferencesViewModel* preferences = viewModel->preferences();
    // An unchecked switch to measure.
    preferences->setClipboardFallbackEnabled(false);
    for (const auto& [theme, name] : themes) {
        SCOPED_TRACE(name);
        preferences->setDesktopTheme(theme);
        QSet<QString> kinds;
        for (MainWindowSection section : allMainWindowSections()) {
            const QString raw = rawValue(section);
            raw == QStringLiteral("subscription") ? state()->showAccount() : state()->selectSection(raw);
            settle();
            const QImage image = harness.grab();
            for (const auto& [box, kind] : outlinedControls(item("main-window-detail"))) {
                kinds.insert(kind);
                // The top edge's middle against the pixels just above it; the sharpest of the rows
                // around the edge, since a box on a half pixel spreads its line over two.
                const QPointF top = box->mapToScene({box->width() / 2, 0});
                const QPoint edge(int(std::floor(top.x())), int(std::round(top.y())));
                const QColor outside = image.pixelColor(edge - QPoint(0, 4));
                double best = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    best = std::max(best, contrast(image.pixelColor(edge + QPoint(0, dy)), outside));
                EXPECT_GE(best, 3.0) << raw.toStdString() << " " << kind.toStdString() << " "
                                     << box->parentItem()->objectName().toStdString() << " at " << edge.x() << ","
                                     << edge.y();
            }
            if (raw == QStringLiteral("dictionary") || raw == QStringLiteral("settings"))
                harness.shoot(std::string("dashboard-outlines-") + raw.toStdString() + "-" + name);
        }
        EXPECT_EQ(kinds, (QSet<QString>{"text field", "editor", "pop-up", "switch", "segments", "selection ring"}));
    }
}

}  // namespace
}  // namespace quorvelle::test
