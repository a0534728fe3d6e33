// The overlay pill in every session state and both appearances, driven by the view model on fakes.
#include "../Dashboard/ViewModelScene.h"

#include "Views/Overlay/RuntimeOverlayTheme.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvelle::test {
namespace {

class RuntimeOverlayViewTest : public ViewModelScene {
protected:
    void SetUp() override {
        ASSERT_TRUE(load("RuntimeOverlayView { objectName: 'overlay'; viewModel: vm }", {416, 188}));
    }
    // The session's values arrive a turn of the event loop after the fakes send them.
    void show(const SessionState& state) {
        fakes.sessionCoordinator->statePublisher().send(state);
        settle();
    }
    void publishLevels(const AudioLevelSnapshot& snapshot) {
        fakes.audioCapture->levelPublisher().send(snapshot);
        settle();
    }

    // The level bars under an item, left to right.
    QList<QQuickItem*> barsIn(QQuickItem* view) {
        QList<QQuickItem*> bars;
        for (QQuickItem* child : view->childItems().first()->childItems()) {
            if (child->property("level").isValid()) bars << child;
        }
        return bars;
    }
};

QColor lerp(const QColor& from, const QColor& to, double t) {
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                            float(from.greenF() + (to.greenF() - from.greenF()) * t),
                            float(from.blueF() + (to.blueF() - from.blueF()) * t));
}

TEST_F(RuntimeOverlayViewTest, EveryStateShowsItsTextsSymbolAndColours) {
    using Style = RuntimeOverlayStatusStyle;
    const QuorvelleError noSpeech(QuorvelleErrorCase::noSpeechDetected);
    const struct {
        const char* name;
        SessionState state;
        QString title;
        QString detail;
        const char* symbol;
        Style style;
    } cases[] = {
        {"idle", SessionState::idle(), "Quorvelle ready", "Hold-to-talk hotkey ready.", "mic", Style::idle},
        {"recording", SessionState::recording(), "Recording", "Release to stop capture and start transcription.",
         "waveform", Style::active},
        {"blocked", SessionState::blocked(SessionBlockReason::secureField), "Secure field blocked",
         "Secure field detected.", "exclamationmark.triangle", Style::problem},
        {"error", SessionState::error(noSpeech), "No speech detected", AppStrings().errorMessage(noSpeech),
         "exclamationmark.triangle", Style::problem},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        show(c.state);
        harness.shoot(std::string("overlay-full-") + c.name);
        QQuickItem* pill = harness.item("overlay-pill");
        ASSERT_TRUE(pill);
        EXPECT_EQ(textsIn(harness.root()), (QStringList{c.title, "Control + Alt + Space", c.detail}));
        EXPECT_EQ(glyphsIn(harness.root()), QStringList{c.symbol});
        // The top edge: the style's accent-tinted border over the sheen over the surface's diagonal gradient.
        const RuntimeOverlayTheme palette = RuntimeOverlayTheme::palette(c.style, DesktopThemeOption::black);
        const QColor top =
            over(palette.surfaceHighlightTop, lerp(palette.surfaceGradientStart, palette.surfaceGradientEnd, 0.453));
        EXPECT_COLOR_NEAR(harness.colorAt(pill, {180, 0.5}), over(palette.borderColor, top));
    }
}

TEST_F(RuntimeOverlayViewTest, MessagesLanguageThemeAndLevelsReachThePillInBothForms) {
    viewModel->context().setInlineMessage("Metin eklendi.");
    show(SessionState::success());
    EXPECT_EQ(textsIn(harness.root()).first(), "Text inserted");
    EXPECT_EQ(textsIn(harness.root()).last(), "Metin eklendi.");
    viewModel->preferences()->setAppLanguage(AppLanguageOption::turkish);
    viewModel->preferences()->setDesktopTheme(DesktopThemeOption::light);
    viewModel->context().setInlineMessage(QStringLiteral("word ").repeated(80));
    show(SessionState::recording());
    harness.shoot("overlay-full-light-tr");
    EXPECT_EQ(textsIn(harness.root()).first(), "Kayıt alınıyor");
    QQuickItem* detail = harness.item("overlay-detail");
    EXPECT_EQ(detail->property("lineCount").toInt(), 2);
    EXPECT_TRUE(detail->property("truncated").toBool());
    EXPECT_COLOR_NEAR(
        detail->property("color").value<QColor>(),
        RuntimeOverlayTheme::palette(RuntimeOverlayStatusStyle::active, DesktopThemeOption::light).secondaryText);
    viewModel->preferences()->setDesktopTheme(DesktopThemeOption::quorvelle);
    viewModel->context().setInlineMessage(std::nullopt);
    show(SessionState::recording());
    EXPECT_EQ(textsIn(harness.root()).last(), "Bırakınca capture kapanır ve transcription akışı başlar.");
    harness.shoot("overlay-full-quorvelle-tr");

    // Levels drive the bars without rebuilding them, in both forms.
    QQuickItem* waveform = harness.item("overlay-waveform");
    ASSERT_TRUE(waveform);
    const QList<QQuickItem*> bars = barsIn(waveform);
    ASSERT_EQ(bars.size(), 12);
    const std::vector<double> raw{0, 0.003, 0.01, 0.1, 0.5, 1, 2, -1, 0.5, 0.1, 0.01, 0};
    publishLevels(AudioLevelSnapshot{0.3, 1, raw});
    harness.shoot("overlay-full-levels");
    EXPECT_EQ(barsIn(waveform), bars);
    const double expected[] = {8, 8, 8 + 40 * 0.18, 8 + 40 * 0.44, 8 + 40 * 0.78, 48, 48, 8};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(bars[i]->height(), expected[i], 0.4) << "bar " << i;

    // No levels at all still draws the twelve resting bars.
    publishLevels(AudioLevelSnapshot{});
    EXPECT_EQ(barsIn(waveform), bars);
    EXPECT_EQ(bars.last()->height(), 8);

    // The compact form shows five level bars, and only while recording.
    QQuickItem* overlay = harness.item("overlay");
    EXPECT_EQ(QSizeF(overlay->width(), overlay->height()), QSizeF(416, 188));
    viewModel->preferences()->setWidgetAppearance(WidgetAppearance::logoOnly);
    publishLevels(AudioLevelSnapshot{0.5, 1.0, std::vector<double>(12, 1.0)});
    EXPECT_EQ(QSizeF(overlay->width(), overlay->height()), QSizeF(128, 144));
    EXPECT_TRUE(textsIn(overlay).isEmpty());
    EXPECT_TRUE(glyphsIn(overlay).isEmpty());
    QQuickItem* levels = harness.item("status-glyph-levels");
    ASSERT_EQ(barsIn(levels).size(), 5);
    EXPECT_EQ(barsIn(levels)[2]->height(), 20);
    EXPECT_DOUBLE_EQ(harness.item("overlay-compact-halo")->scale(), 1.1);
    harness.shoot("overlay-compact-recording");

    show(SessionState::blocked(SessionBlockReason::noWritableTarget));
    EXPECT_FALSE(levels->isVisible());
    EXPECT_EQ(glyphsIn(overlay), QStringList{"exclamationmark.triangle"});
    EXPECT_DOUBLE_EQ(harness.item("overlay-compact-halo")->scale(), 1.0);
    harness.shoot("overlay-compact-blocked");
}

}  // namespace
}  // namespace quorvelle::test
