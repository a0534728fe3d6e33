// The view model as QML reads it: a root view typed `AppViewModel`, built on the fake services,
// reads every part's values and calls an operation by a case name.
#include "FakeBootstrap.h"

#include "ViewModel/AppViewModel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlExpression>

#include <memory>

namespace quorvelle::test {
namespace {

const char* const kRootView = R"(
import QtQml
import Quorvelle

QtObject {
    required property AppViewModel viewModel
    readonly property string appearance: viewModel.preferences.selectedWidgetAppearance
}
)";

class ViewModelSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakes.settingsStore->setSnippets(
            {{QUuid::createUuid(), QStringLiteral("imza"), QStringLiteral("Saygılar"), false}});
        fakes.settingsStore->setSelectedMicrophonePreference(
            AudioInputDevicePreference{QStringLiteral("usb-1"), QStringLiteral("USB Mic")});
        fakes.history->entries = {TranscriptHistoryEntry{QUuid::createUuid(), QDateTime::currentDateTimeUtc(),
                                                         QStringLiteral("merhaba dünya"), 2.0, 2,
                                                         TranscriptHistoryCompletionKind::pastedViaClipboard}};
        fakes.microphonePermission->status = PermissionState::denied;
        fakes.startAtLogin->status = StartAtLoginStatus::requiresApproval;
        fakes.audioDevices->devices = {AudioDeviceInfo{7, QStringLiteral("usb-1"), QStringLiteral("USB Mic"), true}};
        viewModel = std::make_unique<AppViewModel>(fakes.bootstrap(), fakes.environment());

        QQmlComponent component(&engine);
        component.setData(kRootView, QUrl());
        root.reset(component.createWithInitialProperties(
            {{QStringLiteral("viewModel"), QVariant::fromValue<QObject*>(viewModel.get())}}));
        ASSERT_TRUE(root) << component.errorString().toStdString();
    }

    QVariant read(const QString& expression) {
        QQmlExpression evaluation(engine.contextForObject(root.get()), root.get(), expression);
        const QVariant value = evaluation.evaluate();
        EXPECT_FALSE(evaluation.hasError()) << evaluation.error().toString().toStdString();
        return value;
    }

    FakeBootstrap fakes;
    std::unique_ptr<AppViewModel> viewModel;
    QQmlEngine engine;
    std::unique_ptr<QObject> root;
};

TEST_F(ViewModelSurfaceTest, EveryPartReadsByTheConventionsNames) {
    const QList<LocalModelStatus>& statuses = viewModel->localModels()->localModelStatuses();
    ASSERT_FALSE(statuses.isEmpty());
    const struct {
        const char* expression;
        QVariant expected;
    } cases[] = {
        // Root: an absent optional, the strings record.
        {"viewModel.inlineMessage === null", true},
        {"viewModel.strings.languageCode", "en"},
        // Preferences: enum names, a present optional record, a list model.
        {"viewModel.preferences.selectedRecordingTriggerMode", "pushToTalk"},
        {"viewModel.preferences.startAtLoginStatus", "requiresApproval"},
        {"viewModel.preferences.selectedMicrophonePreference.name", "USB Mic"},
        {"viewModel.preferences.selectedTranscriptionLanguage.code === null", true},
        {"viewModel.preferences.selectedHotkey.displayTitle", "Control + Alt + Space"},
        {"viewModel.preferences.hotkeySuggestions.count", int(HotkeyShortcut::suggestions().size()) - 1},
        {"viewModel.preferences.hotkeySuggestions.get(0).displayTitle",
         HotkeyShortcut::suggestions().at(1).displayTitle},
        {"viewModel.preferences.hotkeySuggestions.get(9) === null", true},
        // Dictionary, history and diagnostics: list models and their rows' records.
        {"viewModel.dictionary.snippets.count", 1},
        {"viewModel.dictionary.dictionaryEntries.count", 0},
        {"viewModel.history.transcriptHistoryEntries.count", 1},
        {"viewModel.history.overviewMetrics.totalWords", 2},
        {"viewModel.diagnostics.audioDevices.count", 1},
        {"viewModel.diagnostics.diagnosticsSnapshot.selectedMicrophone", "USB Mic"},
        {"viewModel.diagnostics.diagnosticsSnapshot.lastErrorCode === null", true},
        // Permissions: a record's fields, an enum among them.
        {"viewModel.permissions.onboardingStatus.hasAPIKey", false},
        {"viewModel.permissions.onboardingStatus.microphonePermission", "denied"},
        {"viewModel.permissions.onboardingStatus.selectedTranscriptionBackend", "cloud"},
        // Session: the state record, the level record's list, absent values.
        {"viewModel.session.runtimeState.kind", "idle"},
        {"viewModel.session.runtimeState.blockReason === null", true},
        {"viewModel.session.audioLevelSnapshot.barLevels.length", 12},
        {"viewModel.session.transcriptionTelemetry.p50ElapsedMs === null", true},
        {"viewModel.session.focusedTarget === null", true},
        {"viewModel.session.lastCaptureSummary === null", true},
        // Account: absent values and the release notes' state.
        {"viewModel.account.backendAuthChallenge === null", true},
        {"viewModel.account.registeredBackendDeviceID === null", true},
        {"viewModel.account.releaseNotesState.kind", "idle"},
        // Local models: enum names, a record, the rows and a row's nested records.
        {"viewModel.localModels.selectedTranscriptionBackend", "cloud"},
        {"viewModel.localModels.selectedLocalModelID", rawValue(viewModel->localModels()->selectedLocalModelID())},
        {"viewModel.localModels.localRuntimeAvailability.isReady",
         viewModel->localModels()->localRuntimeAvailability().isReady()},
        {"viewModel.localModels.lastLocalSegmentCount === null", true},
        {"viewModel.localModels.localModelStatuses.count", int(statuses.size())},
        {"viewModel.localModels.localModelStatuses.get(0).descriptor.title", statuses.first().descriptor.title},
        {"viewModel.localModels.localModelStatuses.get(0).installState.kind", "notInstalled"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(read(QString::fromLatin1(c.expression)), c.expected);
    }
}

TEST_F(ViewModelSurfaceTest, AnOperationTakesACaseByNameAndTheBindingFollows) {
    EXPECT_EQ(root->property("appearance"), QStringLiteral("currentWidget"));
    read(QStringLiteral("viewModel.preferences.setWidgetAppearance('logoOnly')"));
    EXPECT_EQ(viewModel->preferences()->selectedWidgetAppearance(), WidgetAppearance::logoOnly);
    EXPECT_EQ(root->property("appearance"), QStringLiteral("logoOnly"));
    // A name that is no case changes nothing.
    read(QStringLiteral("viewModel.preferences.setWidgetAppearance('LogoOnly')"));
    EXPECT_EQ(viewModel->preferences()->selectedWidgetAppearance(), WidgetAppearance::logoOnly);
    read(QStringLiteral("viewModel.preferences.setMicrophonePreference(null)"));
    EXPECT_EQ(viewModel->preferences()->selectedMicrophonePreference(), std::nullopt);
}

}  // namespace
}  // namespace quorvelle::test
