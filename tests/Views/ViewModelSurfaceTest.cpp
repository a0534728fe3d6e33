// The view model as QML reads it: a root view typed `AppViewModel`, built on the fake services,
// reads the parts' values and calls an operation by a case name.
#include "Dashboard/ViewModelScene.h"

namespace quorvelle::test {
namespace {

class ViewModelSurfaceTest : public ViewModelScene {
protected:
    void SetUp() override {
        fakes.settingsStore->setSnippets({{QUuid::createUuid(), "imza", "Saygılar", false}});
        fakes.settingsStore->setSelectedMicrophonePreference(AudioInputDevicePreference{"usb-1", "USB Mic"});
        fakes.microphonePermission->status = PermissionState::denied;
        ASSERT_TRUE(
            load("Item {\n  property AppViewModel viewModel: vm\n"
                 "  readonly property string appearance: viewModel.preferences.selectedWidgetAppearance\n}",
                 {10, 10}));
    }
    QVariant read(const QString& expression) { return harness.evaluate(harness.root(), expression); }
};

TEST_F(ViewModelSurfaceTest, EveryPartReadsByTheSameConventions) {
    const struct {
        const char* expression;
        QVariant expected;
    } cases[] = {
        // Absent optionals read as null, enums by name, records by their fields.
        {"viewModel.inlineMessage === null", true},
        {"viewModel.preferences.selectedMicrophonePreference.name", "USB Mic"},
        {"viewModel.permissions.onboardingStatus.microphonePermission", "denied"},
        {"viewModel.session.runtimeState.kind", "idle"},
        {"viewModel.session.audioLevelSnapshot.barLevels.length", 12},
        {"viewModel.account.releaseNotesState.kind", "idle"},
        // A default-made record (this one once crashed the engine).
        {"viewModel.localModels.localRuntimeAvailability.isReady",
         viewModel->localModels()->localRuntimeAvailability().isReady()},
        // Lists are models: a row's records, nothing past the end.
        {"viewModel.dictionary.snippets.count", 1},
        {"viewModel.preferences.hotkeySuggestions.get(0).displayTitle",
         HotkeyShortcut::suggestions().at(1).displayTitle},
        {"viewModel.preferences.hotkeySuggestions.get(9) === null", true},
        {"viewModel.localModels.localModelStatuses.get(0).installState.kind", "notInstalled"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(c.expression), c.expected) << c.expression;
}

TEST_F(ViewModelSurfaceTest, AnOperationTakesACaseByNameAndTheBindingFollows) {
    EXPECT_EQ(harness.root()->property("appearance"), "currentWidget");
    read("viewModel.preferences.setWidgetAppearance('logoOnly')");
    EXPECT_EQ(viewModel->preferences()->selectedWidgetAppearance(), WidgetAppearance::logoOnly);
    EXPECT_EQ(harness.root()->property("appearance"), "logoOnly");
    // A name that is no case changes nothing.
    read("viewModel.preferences.setWidgetAppearance('LogoOnly')");
    EXPECT_EQ(viewModel->preferences()->selectedWidgetAppearance(), WidgetAppearance::logoOnly);
    read("viewModel.preferences.setMicrophonePreference(null)");
    EXPECT_EQ(viewModel->preferences()->selectedMicrophonePreference(), std::nullopt);
}

}  // namespace
}  // namespace quorvelle::test
