// The view model as QML reads it: a root view typed `AppViewModel`, built on the fake services,
// reads the parts' values and calls an operation by a case name.
#include "FakeBootstrap.h"

#include "ViewModel/AppViewModel.h"

#include <gtest/gtest.h>

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlExpression>

#include <memory>

namespace quorvelle::test {
namespace {

class ViewModelSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakes.settingsStore->setSnippets({{QUuid::createUuid(), "imza", "Saygılar", false}});
        fakes.settingsStore->setSelectedMicrophonePreference(AudioInputDevicePreference{"usb-1", "USB Mic"});
        fakes.microphonePermission->status = PermissionState::denied;
        viewModel = std::make_unique<AppViewModel>(fakes.bootstrap(), fakes.environment());
        QQmlComponent component(&engine);
        component.setData(
            "import QtQml\nimport Quorvelle\nQtObject {\n  required property AppViewModel viewModel\n"
            "  readonly property string appearance: viewModel.preferences.selectedWidgetAppearance\n}",
            QUrl());
        root.reset(
            component.createWithInitialProperties({{"viewModel", QVariant::fromValue<QObject*>(viewModel.get())}}));
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
    EXPECT_EQ(root->property("appearance"), "currentWidget");
    read("viewModel.preferences.setWidgetAppearance('logoOnly')");
    EXPECT_EQ(viewModel->preferences()->selectedWidgetAppearance(), WidgetAppearance::logoOnly);
    EXPECT_EQ(root->property("appearance"), "logoOnly");
    // A name that is no case changes nothing.
    read("viewModel.preferences.setWidgetAppearance('LogoOnly')");
    EXPECT_EQ(viewModel->preferences()->selectedWidgetAppearance(), WidgetAppearance::logoOnly);
    read("viewModel.preferences.setMicrophonePreference(null)");
    EXPECT_EQ(viewModel->preferences()->selectedMicrophonePreference(), std::nullopt);
}

}  // namespace
}  // namespace quorvelle::test
