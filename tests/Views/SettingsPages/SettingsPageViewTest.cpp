// The settings page over the view model built from fakes, rendered offscreen: the engine cards,
// the language search, the switches (which show only what the view model publishes), the local
// models in each state, the microphone picker and the footer, in both languages.
#include "FakeBootstrap.h"
#include "Services/Storage/SettingsKeys.h"
#include "ViewHarness.h"
#include "ViewModel/AppViewModel.h"
#include "ViewModel/DictionaryViewModel.h"
#include "ViewModel/LocalModelsViewModel.h"
#include "ViewModel/PreferencesViewModel.h"
#include "Views/Dashboard/Components/AppVersion.h"
#include "Views/Dashboard/MainWindowState.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QQmlContext>
#include <QQmlProperty>

#include <memory>
#include <stdexcept>

namespace quorvelle::test {
namespace {

using M = LocalTranscriptionModelID;

class SettingsPageViewTest : public ::testing::Test {
protected:
    void load(const char* language = "english") {
        fakes.makeReadyForCloudDictation();
        fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedAppLanguage),
                                      QString::fromLatin1(language));
        viewModel = std::make_unique<AppViewModel>(fakes.bootstrap(), fakes.environment());
        windowState.setViewModel(viewModel.get());
        harness.engine().rootContext()->setContextProperty(QStringLiteral("vm"), viewModel.get());
        harness.engine().rootContext()->setContextProperty(QStringLiteral("ws"), &windowState);
        harness.setTheme(Theme::Quorvelle);
        ASSERT_TRUE(harness.load(QStringLiteral("SettingsPage { x: 24; y: 24; width: 920; viewModel: vm; "
                                                "windowState: ws }"),
                                 {968, 3300}));
    }
    QQuickItem* item(const QString& name) {
        QQuickItem* found = harness.find(name);
        EXPECT_TRUE(found) << "no item " << name.toStdString();
        if (!found) throw std::runtime_error("missing item");
        return found;
    }
    // Along the visual tree, where a Repeater puts its items.
    static QQuickItem* findBelow(QQuickItem* item, const QString& name) {
        for (QQuickItem* child : item->childItems()) {
            if (child->objectName() == name) return child;
            if (QQuickItem* found = findBelow(child, name)) return found;
        }
        return nullptr;
    }
    QQuickItem* inside(const QString& parent, const QString& name) {
        if (QQuickItem* found = findBelow(item(parent), name)) return found;
        ADD_FAILURE() << "no " << name.toStdString() << " in " << parent.toStdString();
        throw std::runtime_error("missing item");
    }
    QString value(const QString& card) { return item(card)->property("value").toString(); }
    QString text(const QString& name) { return item(name)->property("text").toString(); }
    QString message() { return viewModel->inlineMessageText(); }
    bool shows(const QString& name) {
        QQuickItem* found = harness.find(name);
        return found && found->isVisible();
    }
    void clickSwitch(const QString& card) { harness.click(inside(card, "toggle-switch")); }
    bool isOn(const QString& card) { return item(card)->property("isOn").toBool(); }
    // The texts of a model row's badge and buttons.
    QStringList modelRow(M id) {
        const QString row = "settings-model-" + rawValue(id);
        const QQuickItem* secondary = inside(row, "model-secondary-button");
        return {inside(row, "model-badge")->property("title").toString(),
                inside(row, "model-primary-button")->property("title").toString(),
                secondary->isVisible() ? secondary->property("title").toString() : QString()};
    }
    void settle() {
        for (int turn = 0; turn < 6; ++turn)
            QCoreApplication::processEvents();
    }

    FakeBootstrap fakes;
    std::unique_ptr<AppViewModel> viewModel;
    MainWindowState windowState;
    ViewHarness harness;
};

TEST_F(SettingsPageViewTest, TheLocalCardOpensTheSetupUntilLocalModeIsReadyThenSwitches) {
    load();
    EXPECT_EQ(item("settings-mode-local")->property("tags").toStringList(),
              (QStringList{"Private", "Offline", localModelDescriptor(M::smallMultilingual).title}));
    EXPECT_TRUE(item("settings-mode-cloud")->property("isSelected").toBool());
    for (Theme theme : kAllThemes) {
        harness.setTheme(theme);
        harness.shoot("settings-page-en-" + nameOf(theme));
    }

    harness.click(item("settings-mode-local"));
    EXPECT_EQ(viewModel->localModels()->selectedTranscriptionBackend(), TranscriptionBackend::local);
    EXPECT_EQ(message(), "Local mode setup opened. Download a model to continue.");
    EXPECT_TRUE(item("settings-mode-local")->property("isSelected").toBool());
    EXPECT_EQ(text("settings-local-status-detail"), viewModel->localModels()->localModelCopy().statusDetail());

    harness.click(item("settings-mode-cloud"));
    EXPECT_EQ(viewModel->localModels()->selectedTranscriptionBackend(), TranscriptionBackend::cloud);
    harness.click(item("settings-mode-cloud"));
    EXPECT_EQ(message(), "Transcription mode is already active.");

    // Ready: the card goes through the backend choice, not the setup.
    fakes.localModels->install(M::smallMultilingual);
    viewModel->localModels()->refreshLocalModelStatuses();
    harness.click(item("settings-mode-local"));
    EXPECT_EQ(viewModel->localModels()->selectedTranscriptionBackend(), TranscriptionBackend::local);
    EXPECT_TRUE(message().startsWith("Transcription mode updated")) << message().toStdString();
}

TEST_F(SettingsPageViewTest, TheLanguageListFiltersInTurkishAndTheChoiceStaysNamedWhileHidden) {
    load("turkish");
    EXPECT_EQ(value("settings-language-selected"), "Otomatik (Önerilen)");
    EXPECT_EQ(value("settings-language-mode"), "Otomatik algılama");
    QQuickItem* list = item("settings-language-list");
    EXPECT_EQ(list->property("count").toInt(), TranscriptionLanguageOption::supportedOptions().size());
    EXPECT_LE(list->height(), 220);
    harness.shoot("settings-page-tr");

    // A row picked further down the list leaves the list as it was: no row is made anew.
    list->setProperty("contentY", 400);
    QPointer<QQuickItem> picked;
    for (QQuickItem* row : list->property("contentItem").value<QQuickItem*>()->childItems()) {
        if (row->y() >= 420 && row->y() < 520) picked = row;
    }
    ASSERT_TRUE(picked);
    harness.click(picked);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(picked.isNull());
    EXPECT_EQ(list->property("contentY").toReal(), 400);
    EXPECT_TRUE(picked->property("isSelected").toBool());
    EXPECT_EQ("settings-language-row-" + viewModel->preferences()->selectedTranscriptionLanguage().id(),
              picked->objectName());

    harness.click(item("search-field-input"));
    harness.typeText(QStringLiteral("türk"));
    EXPECT_EQ(list->property("count").toInt(), 1);
    harness.click(item("settings-language-row-tr"));
    EXPECT_EQ(viewModel->preferences()->selectedTranscriptionLanguage().code, "tr");
    EXPECT_EQ(value("settings-language-selected"), "Türkçe (tr)");
    EXPECT_EQ(value("settings-language-mode"), "Sabit dil");
    EXPECT_TRUE(item("settings-language-row-tr")->property("isSelected").toBool());
    harness.shoot("settings-language-search-tr");

    harness.typeText(QStringLiteral("x"));
    EXPECT_EQ(list->property("count").toInt(), 0);
    EXPECT_EQ(value("settings-language-selected"), "Türkçe (tr)");
}

TEST_F(SettingsPageViewTest, SwitchesCallTheirSettersAndSnapBackWhenRefused) {
    load();
    for (const char* card : {"settings-auto-replace", "settings-clipboard-fallback", "settings-dictionary-switch"}) {
        SCOPED_TRACE(card);
        const bool before = isOn(card);
        clickSwitch(card);
        EXPECT_EQ(isOn(card), !before);
    }
    EXPECT_TRUE(viewModel->preferences()->isLastDictationAutoReplaceEnabled());
    EXPECT_EQ(message(), viewModel->dictionary()->isDictionaryReplacementEnabled()
                             ? "Dictionary replacement turned on."
                             : "Dictionary replacement turned off.");

    // The system asks for an approval: the switch stays off and the way to the settings appears.
    EXPECT_EQ(value("settings-start-at-login-status"), "Off");
    EXPECT_FALSE(shows("settings-open-autostart"));
    fakes.startAtLogin->setEnabledAnswer.push(StartAtLoginStatus::requiresApproval);
    clickSwitch("settings-start-at-login-switch");
    EXPECT_EQ(viewModel->preferences()->startAtLoginStatus(), StartAtLoginStatus::requiresApproval);
    EXPECT_FALSE(isOn("settings-start-at-login-switch"));
    EXPECT_EQ(value("settings-start-at-login-status"), "Needs approval");
    ASSERT_TRUE(shows("settings-open-autostart"));
    harness.shoot("settings-start-at-login-approval-en");
    harness.click(item("settings-open-autostart"));
    EXPECT_TRUE(fakes.startAtLogin->calls.contains("openSystemSettings"));

    clickSwitch("settings-start-at-login-switch");
    EXPECT_TRUE(isOn("settings-start-at-login-switch"));
    EXPECT_EQ(value("settings-start-at-login-status"), "Enabled");
    EXPECT_FALSE(shows("settings-open-autostart"));
}

TEST_F(SettingsPageViewTest, ModelRowsOfferTheActionOfTheirStateAndTheAccelerationFollowsTheViewModel) {
    fakes.localModels->install(M::smallMultilingual);
    load();
    EXPECT_EQ(modelRow(M::smallMultilingual), (QStringList{"Installed", "Selected", "Delete"}));
    EXPECT_EQ(modelRow(M::tinyMultilingual), (QStringList{"Download required", "Download", ""}));
    harness.click(inside("settings-model-smallMultilingual", "model-primary-button"));
    EXPECT_EQ(message(), "Local model is already selected.");

    // A running download is cancelled from its row.
    fakes.localModels->held.setHolding(true);
    harness.click(inside("settings-model-tinyMultilingual", "model-primary-button"));
    EXPECT_EQ(modelRow(M::tinyMultilingual), (QStringList{"Downloading", "Cancel", ""}));
    harness.shoot("settings-local-models-downloading-en");
    harness.click(inside("settings-model-tinyMultilingual", "model-primary-button"));
    settle();
    EXPECT_TRUE(message().endsWith(" download cancelled.")) << message().toStdString();
    EXPECT_EQ(modelRow(M::tinyMultilingual), (QStringList{"Download required", "Download", ""}));
    EXPECT_EQ(fakes.localModels->calls, QStringList{"download(tinyMultilingual)"});

    // A failed download offers a retry, which downloads again.
    fakes.localModels->held.setHolding(false);
    fakes.localModels->downloadOutcome.pushFailure(std::runtime_error("network"));
    harness.click(inside("settings-model-baseMultilingual", "model-primary-button"));
    settle();
    EXPECT_EQ(modelRow(M::baseMultilingual), (QStringList{"Retry needed", "Retry", ""}));
    harness.click(inside("settings-model-baseMultilingual", "model-primary-button"));
    settle();
    EXPECT_EQ(modelRow(M::baseMultilingual), (QStringList{"Installed", "Select", "Delete"}));

    harness.click(inside("settings-model-baseMultilingual", "model-secondary-button"));
    EXPECT_EQ(fakes.localModels->calls.last(), "deleteModel(baseMultilingual)");
    EXPECT_EQ(modelRow(M::baseMultilingual), (QStringList{"Download required", "Download", ""}));

    EXPECT_EQ(value("settings-local-acceleration"), "CPU");
    harness.click(inside("settings-acceleration-picker", "segment-accelerated"));
    EXPECT_EQ(viewModel->localModels()->selectedLocalWhisperAccelerationMode(),
              LocalWhisperAccelerationMode::accelerated);
    EXPECT_EQ(value("settings-local-acceleration"), "GPU / Neural Engine");
    EXPECT_TRUE(inside("settings-acceleration-picker", "segment-accelerated")->property("isSelected").toBool());
    EXPECT_FALSE(inside("settings-acceleration-picker", "segment-cpu")->property("isSelected").toBool());
    EXPECT_EQ(value("settings-local-runtime"), "Ready (GPU/NE dene)");
    EXPECT_TRUE(text("settings-acceleration-explanation").startsWith("Metal/Core ML"));
    harness.click(inside("settings-acceleration-picker", "segment-accelerated"));
    EXPECT_EQ(message(), "Local runtime mode is already selected.");
}

TEST_F(SettingsPageViewTest, TheMicrophonePickerKeepsAnAbsentChoiceAndPassesTheUidOfTheRowPicked) {
    fakes.audioDevices->devices = {{1, "usb-1", "USB Mic", false}, {2, "builtin", "Built-in", true}};
    fakes.settingsStore->setSelectedMicrophonePreference(AudioInputDevicePreference{"gone", "Old Mic"});
    load();
    // Coming on screen handed the stored choice to the capture service.
    ASSERT_FALSE(fakes.audioCapture->preferredDeviceUIDs.isEmpty());
    EXPECT_EQ(fakes.audioCapture->preferredDeviceUIDs.last(), "gone");

    QQuickItem* picker = item("settings-microphone-picker");
    const auto titles = [&] {
        QStringList result;
        for (const QVariant& row : picker->property("model").toList())
            result << row.toMap().value("title").toString();
        return result;
    };
    EXPECT_EQ(titles(), (QStringList{"System Default", "Old Mic (bagli degil)", "USB Mic", "Built-in"}));
    EXPECT_EQ(picker->property("currentIndex").toInt(), 1);
    EXPECT_EQ(value("settings-microphone-selected"), "Old Mic");
    EXPECT_EQ(value("settings-microphone-active"), "Built-in");
    EXPECT_EQ(text("settings-microphone-message"),
              "Selected microphone is not connected. System Default is being used temporarily.");
    harness.shoot("settings-microphone-absent-en");

    QMetaObject::invokeMethod(picker, "activated", Q_ARG(int, 2));
    ASSERT_TRUE(viewModel->preferences()->selectedMicrophonePreference());
    EXPECT_EQ(viewModel->preferences()->selectedMicrophonePreference()->uid, "usb-1");
    EXPECT_EQ(titles(), (QStringList{"System Default", "USB Mic", "Built-in"}));
    EXPECT_EQ(picker->property("currentIndex").toInt(), 1);
    EXPECT_EQ(value("settings-microphone-selected"), "USB Mic");

    QMetaObject::invokeMethod(picker, "activated", Q_ARG(int, 0));
    EXPECT_FALSE(viewModel->preferences()->selectedMicrophonePreference());
    EXPECT_EQ(picker->property("currentIndex").toInt(), 0);
    EXPECT_EQ(value("settings-microphone-selected"), "System Default");

    fakes.audioDevices->devices.clear();
    harness.click(item("settings-microphone-refresh"));
    EXPECT_EQ(message(), "Microphone list refreshed. No input device found.");
    EXPECT_EQ(titles(), QStringList{"System Default"});
}

TEST_F(SettingsPageViewTest, TheFooterShowsTheVersionAndChecksForUpdatesOnlyWhenAvailable) {
    load("turkish");
    EXPECT_EQ(text("settings-version"), "Quorvelle " + appVersionString());
    for (const char* name : {"settings-version", "settings-check-updates"}) {
        QQuickItem* centred = item(name);
        EXPECT_NEAR(centred->mapToItem(harness.root(), QPointF(centred->width() / 2, 0)).x(),
                    harness.root()->width() / 2, 1)
            << name;
    }
    QQuickItem* button = item("settings-check-updates");
    ASSERT_TRUE(button->isEnabled());
    fakes.updateChecker->held.setHolding(true);
    harness.click(button);
    EXPECT_EQ(message(), "Güncellemeler kontrol ediliyor...");
    fakes.updateChecker->held.releaseAll();
    settle();
    EXPECT_EQ(fakes.updateChecker->callCount, 1);

    fakes.updateChecker->enabled = false;
    harness.click(button);
    EXPECT_EQ(message(), "Güncelleme kontrolü şu anda kullanılamıyor.");
    EXPECT_FALSE(button->isEnabled());
    harness.click(button);
    EXPECT_EQ(fakes.updateChecker->callCount, 1);
}

}  // namespace
}  // namespace quorvelle::test
