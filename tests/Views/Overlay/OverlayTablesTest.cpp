// The overlay's level functions, compact model, palette and the model that feeds the pill.
#include "Views/Overlay/RuntimeOverlayCompactAudioIndicatorModel.h"
#include "Views/Overlay/RuntimeOverlayModel.h"
#include "Views/Overlay/RuntimeOverlayTheme.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <cmath>

namespace quorvelle {
namespace {

using Levels = std::vector<double>;
const double nan = std::nan("");

TEST(OverlayLevelFunctions, ResampleAndMergePickAsSpecified) {
    const Levels twelve{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_EQ(resampleLevels(twelve, 5), (Levels{0, 3, 6, 8, 11}));
    EXPECT_EQ(resampleLevels({0, 1, 2}, 5), (Levels{0, 1, 1, 2, 2}));
    EXPECT_EQ(resampleLevels({0, 1, 2, 3}, 0), Levels{2});  // the upper middle
    EXPECT_EQ(resampleLevels({}, 3), (Levels{0, 0, 0}));

    EXPECT_EQ(mergeLevelsByMax({0.1, 0.5, 0.3, 0.9, 0.9}, {0.2, 0.2, 0.3}), (Levels{0.2, 0.5, 0.3}));
    const Levels withNan = mergeLevelsByMax({nan, 0.4}, {0.5, nan});
    EXPECT_TRUE(std::isnan(withNan[0]));
    EXPECT_EQ(withNan[1], 0.4);
}

TEST(OverlayLevelFunctions, CompactModelOnlyWhileRecording) {
    using Model = RuntimeOverlayCompactAudioIndicatorModel;
    const auto recording = [](double peak, Levels bars) {
        return Model::make(SessionState::recording(), AudioLevelSnapshot{0, peak, std::move(bars)});
    };
    // Empty and silent levels rest on the arch; quiet levels are lifted above it.
    EXPECT_EQ(recording(0, {}).levels, Model::compactLevelFloor());
    EXPECT_EQ(recording(0, Levels(12, 0.003)).levels, Model::compactLevelFloor());
    EXPECT_NEAR(recording(1, Levels(12, 0.5)).levels[0], 0.784, 0.001);
    const std::pair<double, double> peaks[] = {{0, 1.02},       {-1, 1.02}, {nan, 1.02}, {0.003, 1.02},
                                               {0.0031, 1.004}, {1, 1.1},   {5, 1.1}};
    for (const auto& [peak, glowScale] : peaks) {
        const Model model = recording(peak, {});
        EXPECT_TRUE(model.isVisible);
        EXPECT_NEAR(model.glowScale, glowScale, 0.001) << peak;
    }
    for (const SessionState& state : {SessionState::idle(), SessionState::uploading(), SessionState::success()})
        EXPECT_EQ(Model::make(state, AudioLevelSnapshot{1, 1, Levels(12, 1)}), (Model{false, {}, 1.0}));
}

// Levels come many times a second: they must not wake the texts and colours.
TEST(OverlayModel, LevelsNotifyApartFromThePresentation) {
    RuntimeOverlayModel model;
    model.setRuntimeState(SessionState::recording());
    QSignalSpy presentation(&model, &RuntimeOverlayModel::presentationChanged);
    QSignalSpy theme(&model, &RuntimeOverlayModel::themeChanged);
    QSignalSpy levels(&model, &RuntimeOverlayModel::levelsChanged);
    model.setLevels(AudioLevelSnapshot{0.1, 0.2, {0.5, 0.003}});
    model.setLevels(AudioLevelSnapshot{0.1, 0.2, {0.5, 0.003}});
    EXPECT_EQ(levels.size(), 1);
    EXPECT_EQ(presentation.size() + theme.size(), 0);
    EXPECT_EQ(model.barLevels().size(), 2);
    EXPECT_EQ(model.barLevels()[1], 0.0);
    model.setDesktopTheme(QStringLiteral("light"));
    EXPECT_EQ(theme.size(), 1);
    EXPECT_EQ(presentation.size(), 0);
}

}  // namespace
}  // namespace quorvelle
