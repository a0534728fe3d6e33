// The settings page (engine cards, language search, switches, local models and microphone picker)
// and the release-notes page (when a visit loads, and the loading, failed, empty and loaded states).
#include "../Dashboard/ViewModelScene.h"
#include "Services/Backend/WebRequestError.h"
#include "TestEventLoop.h"
#include "ViewModel/AccountViewModel.h"

#include <QAccessible>
#include <QPointer>

#include <stdexcept>

namespace quorvelle::test {
namespace {

using M = LocalTranscriptionModelID;

class SettingsPageViewTest : public ViewModelScene {
protected:
    void load(const char* language = "english") {
        fakes.makeReadyForCloudDictation();
        harness.setTheme(Theme::Quorvelle);
        ASSERT_TRUE(ViewModelScene::load(
            QStringLiteral("SettingsPage { x: 24; y: 24; width: 920; viewModel: vm; windowState: ws }"), {968, 3300},
            language));
    }
    QQuickItem* inside(const QString& parent, const char* name) { return item(name, item(parent)); }
    QString value(const QString& card) { return item(card)->property("value").toString(); }
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
    void clickModel(M id, const char* button = "model-primary-button") {
        // Drawn first: a row keeps its buttons across states, and one that just appeared is placed
        // when the frame is laid out.
        harness.grab();
        harness.click(inside("settings-model-" + rawValue(id), button));
        settle();
    }
};

TEST_F(SettingsPageViewTest, TheLocalCardOpensTheSetupUntilReadyAndSwitchesSnapBackWhenRefused) {
    load();
    EXPECT_TRUE(selected("settings-mode-cloud"));
    harness.shoot("settings-page-en");

    harness.click(item("settings-mode-local"));
    EXPECT_EQ(message(), "Local mode setup opened. Download a model to continue.");
    EXPECT_TRUE(selected("settings-mode-local"));
    harness.click(item("settings-mode-cloud"));
    EXPECT_EQ(viewModel->localModels()->selectedTranscriptionBackend(), TranscriptionBackend::cloud);

    // Ready: the card goes through the backend choice, not the setup.
    fakes.localModels->install(M::smallMultilingual);
    viewModel->localModels()->refreshLocalModelStatuses();
    harness.click(item("settings-mode-local"));
    EXPECT_EQ(viewModel->localModels()->selectedTranscriptionBackend(), TranscriptionBackend::local);

    for (const char* card : {"settings-auto-replace", "settings-clipboard-fallback", "settings-dictionary-switch"}) {
        const bool before = isOn(card);
        clickSwitch(card);
        EXPECT_EQ(isOn(card), !before) << card;
    }

    // The system asks for an approval: the switch stays off and the way to the settings appears.
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
    EXPECT_FALSE(shows("settings-open-autostart"));
}

// In the dashboard at 1024 x 768: Return on a model's download that fails keeps that row, its reason
// and its Retry in view with the keyboard focus on Retry, though the status line appears above.
TEST_F(SettingsPageViewTest, AFailedDownloadKeepsItsRowItsReasonAndTheFocusedRetryInView) {
    fakes.makeReadyForCloudDictation();
    ASSERT_TRUE(loadDashboard("english", {1024, 768}));
    state()->selectSection(QStringLiteral("settings"));
    settle();
    QQuickItem* detail = item("main-window-detail");
    const QString row = "settings-model-" + rawValue(M::largeV3);
    QPointer<QQuickItem> primary = inside(row, "model-primary-button");
    EXPECT_FALSE(shows("main-window-inline-message"));
    pressReturnOnFailingDownload(primary);
    ASSERT_TRUE(waitUntil([&] { return modelRow(M::largeV3).value(1) == "Retry"; }));
    settle();
    harness.grab();
    settle();
    EXPECT_TRUE(shows("main-window-inline-message"));
    ASSERT_TRUE(primary);
    EXPECT_TRUE(primary->hasActiveFocus());
    for (QQuickItem* shown : {item(row), inside(row, "model-failure"), primary.data()})
        EXPECT_TRUE(inView(shown, detail));
    EXPECT_TRUE(shows(row) && inside(row, "model-failure")->isVisible());
    harness.shoot("settings-download-failed-1024x768");
}

TEST_F(SettingsPageViewTest, TheLanguageListFiltersInTurkishAndTheChoiceStaysNamedWhileHidden) {
    load("turkish");
    QQuickItem* list = item("settings-language-list");
    EXPECT_LE(list->height(), 220);
    harness.shoot("settings-page-tr");

    // A row picked further down the list leaves the list as it was: no row is made anew.
    list->setProperty("contentY", 400);
    QPointer<QQuickItem> picked;
    for (QQuickItem* row : list->property("contentItem").value<QQuickItem*>()->childItems())
        if (row->y() >= 420 && row->y() < 520) picked = row;
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

    // Filtered out, the choice is still named.
    harness.typeText(QStringLiteral("x"));
    EXPECT_EQ(list->property("count").toInt(), 0);
    EXPECT_EQ(value("settings-language-selected"), "Türkçe (tr)");
}

TEST_F(SettingsPageViewTest, ModelRowsOfferTheirStatesActionAndTheMicrophonePickerKeepsAnAbsentChoice) {
    fakes.localModels->install(M::smallMultilingual);
    fakes.audioDevices->devices = {{1, "usb-1", "USB Mic", false}, {2, "builtin", "Built-in", true}};
    fakes.settingsStore->setSelectedMicrophonePreference(AudioInputDevicePreference{"gone", "Old Mic"});
    // A GPU choice an earlier build stored reads as the CPU this one runs on, everywhere alike.
    fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedLocalWhisperAccelerationMode),
                                  "accelerated");
    load();
    EXPECT_EQ(value("settings-local-runtime"), "Ready (CPU)");
    EXPECT_EQ(value("settings-local-acceleration"), "CPU");
    EXPECT_EQ(modelRow(M::smallMultilingual), (QStringList{"Installed", "Selected", "Delete"}));
    EXPECT_EQ(modelRow(M::tinyMultilingual), (QStringList{"Download required", "Download", ""}));

    // A running download is cancelled from its row.
    fakes.localModels->held.setHolding(true);
    clickModel(M::tinyMultilingual);
    EXPECT_EQ(modelRow(M::tinyMultilingual), (QStringList{"Downloading", "Cancel", ""}));
    harness.shoot("settings-local-models-downloading-en");
    clickModel(M::tinyMultilingual);
    EXPECT_EQ(modelRow(M::tinyMultilingual), (QStringList{"Download required", "Download", ""}));
    EXPECT_EQ(fakes.localModels->calls, QStringList{"download(tinyMultilingual)"});

    // A failed download offers a retry, which downloads again; the row and the message say why and
    // what to do, and a success clears only that row's reason.
    // A row's failure text as shown, empty when it shows none.
    const auto failure = [&](M id) {
        QQuickItem* text = findIn(item("settings-model-" + rawValue(id)), "model-failure");
        return text && text->isVisible() ? text->property("text").toString() : QString();
    };
    fakes.localModels->held.setHolding(false);
    fakes.localModels->downloadOutcome.pushFailure(std::runtime_error("network"));
    clickModel(M::baseMultilingual);
    EXPECT_EQ(modelRow(M::baseMultilingual), (QStringList{"Retry needed", "Retry", ""}));
    EXPECT_EQ(failure(M::baseMultilingual), "Download could not be completed");
    fakes.localModels->downloadOutcome.pushFailure(
        WebRequestError::transportFailure(QNetworkReply::HostNotFoundError, ""));
    clickModel(M::tinyMultilingual);
    const QString nextStep = "Check your internet connection and try again.";
    EXPECT_TRUE(failure(M::tinyMultilingual).endsWith(nextStep));
    EXPECT_TRUE(message().startsWith("Tiny could not be downloaded. The network")) << message().toStdString();
    harness.shoot("settings-local-models-failed-en");
    clickModel(M::baseMultilingual);
    EXPECT_EQ(modelRow(M::baseMultilingual), (QStringList{"Installed", "Select", "Delete"}));
    EXPECT_EQ(failure(M::baseMultilingual), "");
    EXPECT_TRUE(failure(M::tinyMultilingual).endsWith(nextStep));
    clickModel(M::baseMultilingual, "model-secondary-button");
    EXPECT_EQ(fakes.localModels->calls.last(), "deleteModel(baseMultilingual)");

    // This build has no GPU back end: the GPU choice cannot be taken, and CPU stays chosen.
    harness.click(inside("settings-acceleration-picker", "segment-accelerated"));
    EXPECT_EQ(viewModel->localModels()->selectedLocalWhisperAccelerationMode(), LocalWhisperAccelerationMode::cpu);
    EXPECT_EQ(value("settings-local-acceleration"), "CPU");
    EXPECT_TRUE(inside("settings-acceleration-picker", "segment-cpu")->property("isSelected").toBool());
    EXPECT_TRUE(harness.text("settings-acceleration-explanation").contains("no GPU back end"));
    // A screen reader reads the greyed choice as disabled, and no longer once it is available.
    const auto readsDisabled = [&](const char* segment) {
        QAccessibleInterface* read =
            QAccessible::queryAccessibleInterface(inside("settings-acceleration-picker", segment));
        return read ? read->state().disabled : (ADD_FAILURE() << segment << " is not read", false);
    };
    EXPECT_TRUE(readsDisabled("segment-accelerated"));
    EXPECT_FALSE(readsDisabled("segment-cpu"));
    inside("settings-acceleration-picker", "segment-accelerated")->setEnabled(true);
    EXPECT_FALSE(readsDisabled("segment-accelerated"));

    // The microphone picker keeps an absent choice and passes the uid of the row picked.
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
    harness.shoot("settings-microphone-absent-en");

    QMetaObject::invokeMethod(picker, "activated", Q_ARG(int, 2));
    ASSERT_TRUE(viewModel->preferences()->selectedMicrophonePreference());
    EXPECT_EQ(viewModel->preferences()->selectedMicrophonePreference()->uid, "usb-1");
    EXPECT_EQ(titles(), (QStringList{"System Default", "USB Mic", "Built-in"}));
    EXPECT_EQ(picker->property("currentIndex").toInt(), 1);

    QMetaObject::invokeMethod(picker, "activated", Q_ARG(int, 0));
    EXPECT_FALSE(viewModel->preferences()->selectedMicrophonePreference());

    // Return opens the list on the current row, as Space does; Down and Return pick the next row;
    // Escape closes the list unchanged. The focus stays on the box throughout.
    QObject* list = picker->property("popup").value<QObject*>();
    harness.window().requestActivate();
    picker->forceActiveFocus(Qt::TabFocusReason);
    for (const auto& [row, uid] : {std::pair(1, "usb-1"), std::pair(2, "builtin")}) {
        harness.pressKey(Qt::Key_Return);
        ASSERT_TRUE(list->property("visible").toBool()) << row;
        EXPECT_EQ(picker->property("highlightedIndex").toInt(), row - 1);
        harness.pressKey(Qt::Key_Down);
        harness.pressKey(row == 1 ? Qt::Key_Return : Qt::Key_Enter);
        EXPECT_TRUE(waitUntil([&] { return !list->property("visible").toBool(); })) << row;
        ASSERT_TRUE(viewModel->preferences()->selectedMicrophonePreference());
        EXPECT_EQ(viewModel->preferences()->selectedMicrophonePreference()->uid, uid);
        EXPECT_EQ(picker->property("currentIndex").toInt(), row);
    }
    harness.pressKey(Qt::Key_Return);
    ASSERT_TRUE(list->property("visible").toBool());
    EXPECT_EQ(picker->property("highlightedIndex").toInt(), 2);
    harness.pressKey(Qt::Key_Up);
    harness.pressKey(Qt::Key_Escape);
    EXPECT_TRUE(waitUntil([&] { return !list->property("visible").toBool(); }));
    EXPECT_EQ(viewModel->preferences()->selectedMicrophonePreference()->uid, "builtin");
    EXPECT_TRUE(picker->hasActiveFocus() && picker->property("visualFocus").toBool());
    QMetaObject::invokeMethod(picker, "activated", Q_ARG(int, 0));

    fakes.audioDevices->devices.clear();
    harness.click(item("settings-microphone-refresh"));
    EXPECT_EQ(titles(), QStringList{"System Default"});
}

const QDateTime kReleased(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC);

ReleaseNoteEntry release(const QString& version, std::optional<QString> summary,
                         QList<ReleaseNoteCategory> categories) {
    return {"id-" + version, version, "4711", "stable", kReleased, std::move(summary), std::move(categories)};
}

class ChangelogPageViewTest : public ViewModelScene {
protected:
    // Opens the page anew, as a visit to the section does, on the one view model.
    void open(const char* language = "english") {
        const QString page =
            QStringLiteral("ChangelogPage { x: 24; y: 24; width: 880; viewModel: vm; windowState: ws }");
        harness.setTheme(Theme::Quorvelle);
        ASSERT_TRUE(viewModel ? harness.load(page, {928, 900}) : load(page, {928, 900}, language));
        settle();
    }
    QStringList texts(const QString& name) { return textsIn(item(name)); }
    ReleaseNotesLoadState::Kind state() const { return viewModel->account()->releaseNotesState().kind; }
    qsizetype requests() const { return fakes.releaseNotes->requestedLanguages.size(); }
};

TEST_F(ChangelogPageViewTest, AVisitLoadsOnlyWhenThereIsNothingToShowAndEachStateShows) {
    fakes.releaseNotes->answer.pushFailure(std::runtime_error("offline"));
    fakes.releaseNotes->answer.push(
        {release("1.4.0", "Faster local models.",
                 {{"Added", {"Large v3", "Turkish release notes"}}, {"improved", {"Startup"}}, {"Changed", {}}}),
         release("1.3.0", QString(), {})});
    open("turkish");
    EXPECT_EQ(fakes.releaseNotes->requestedLanguages, QStringList{"tr"});
    ASSERT_EQ(state(), ReleaseNotesLoadState::Kind::failed);
    EXPECT_TRUE(shows("changelog-failed"));
    harness.shoot("changelog-failed-tr");
    harness.click(item("changelog-open-web"));
    EXPECT_EQ(fakes.navigator->opened.size(), 1);

    // A failed load is retried on the next visit; a visit while it runs starts no other.
    fakes.releaseNotes->held.setHolding(true);
    open();
    EXPECT_TRUE(shows("changelog-loading"));
    EXPECT_FALSE(shows("changelog-timeline"));
    open();
    EXPECT_EQ(requests(), 2);
    harness.shoot("changelog-loading-tr");
    fakes.releaseNotes->held.setHolding(false);
    fakes.releaseNotes->held.releaseAll();
    settle();
    ASSERT_EQ(state(), ReleaseNotesLoadState::Kind::loaded);
    // A heading the app does not know is upper-cased without the Turkish dotted İ.
    EXPECT_EQ(texts("changelog-entry-id-1.4.0"),
              (QStringList{"v1.4.0", "stable", "5 Mar 2026", "Faster local models.", "EKLENDİ", "-", "Large v3", "-",
                           "Turkish release notes", "IMPROVED", "-", "Startup", "DEĞİŞTİ"}));
    // No summary line for an absent summary, and the build number is never shown.
    EXPECT_EQ(texts("changelog-entry-id-1.3.0"), (QStringList{"v1.3.0", "stable", "5 Mar 2026"}));
    EXPECT_FALSE(texts("changelog-timeline").join(' ').contains("4711"));
    harness.shoot("changelog-timeline-tr");

    // Loaded: a new visit does not load again; Refresh does, and an empty list says so.
    open();
    EXPECT_EQ(requests(), 2);
    harness.click(item("changelog-refresh"));
    settle();
    EXPECT_EQ(requests(), 3);
    EXPECT_TRUE(shows("changelog-empty"));
}

}  // namespace
}  // namespace quorvelle::test
