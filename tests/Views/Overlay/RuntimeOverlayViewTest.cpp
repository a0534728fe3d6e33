// The overlay pill in every session state and both appearances, driven by the view model on fakes.
#include "../Dashboard/ViewModelScene.h"

#include "Views/Overlay/RuntimeOverlayTheme.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

class RuntimeOverlayViewTest : public ViewModelScene {
protected:
    void SetUp() override {
        ASSERT_TRUE(load("RuntimeOverlayView { objectName: 'overlay'; viewModel: vm }", {416, 228}));
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
        for (QQuickItem* child : view->childItems().first()->childItems())
            if (child->property("level").isValid()) bars << child;
        return bars;
    }

    // Every visible item the form draws over its surface (soft shadows and halos aside, which are
    // meant to spill) lies inside the surface, texts by what they paint.
    void expectInside(QQuickItem* surface, QQuickItem* item, const std::string& where) {
        if (!item->isVisible() || item == surface || QString(item->metaObject()->className()).contains("SoftShape"))
            return;
        // A spacer or a repeater draws nothing itself; its children are walked all the same.
        const bool draws = item->width() > 0 && item->height() > 0;
        QSizeF size(item->width(), item->height());
        if (const QVariant painted = item->property("paintedHeight"); painted.isValid())
            size = size.expandedTo({item->property("paintedWidth").toReal(), painted.toReal()});
        const QRectF box = item->mapRectToItem(surface, QRectF(QPointF(), size));
        EXPECT_TRUE(!draws || QRectF(0, 0, surface->width(), surface->height()).contains(box))
            << where << ": " << item->metaObject()->className() << " " << item->objectName().toStdString() << " at "
            << box.x() << "," << box.y() << " " << box.width() << "x" << box.height();
        for (QQuickItem* child : item->childItems())
            expectInside(surface, child, where);
    }
};

TEST_F(RuntimeOverlayViewTest, EveryStateFitsItsFormInBothAppearancesEveryThemeAndBothLanguages) {
    using Style = RuntimeOverlayStatusStyle;
    const QuorvelleError noSpeech(QuorvelleErrorCase::noSpeechDetected);
    const std::tuple<const char*, SessionState, QString, QString, const char*, Style> cases[] = {
        {"idle", SessionState::idle(), "Quorvelle ready", "Hold-to-talk hotkey ready.", "mic", Style::idle},
        {"recording", SessionState::recording(), "Recording", "Release to stop capture and start transcription.",
         "waveform", Style::active},
        {"uploading", SessionState::uploading(), "", "", "arrow.up.circle", Style::active},
        {"injecting", SessionState::injecting(), "", "", "text.cursor", Style::active},
        {"copied", SessionState::fallbackCopied(), "", "", "doc.on.doc", Style::active},
        {"success", SessionState::success(), "", "", "checkmark.circle", Style::active},
        {"blocked", SessionState::blocked(SessionBlockReason::secureField), "Secure field blocked",
         "Secure field detected.", "exclamationmark.triangle", Style::problem},
        {"no-target", SessionState::blocked(SessionBlockReason::noWritableTarget), "", "", "exclamationmark.triangle",
         Style::problem},
        {"error", SessionState::error(noSpeech), "No speech detected", AppStrings().errorMessage(noSpeech),
         "exclamationmark.triangle", Style::problem},
    };
    const std::pair<DesktopThemeOption, const char*> themes[] = {{DesktopThemeOption::black, "black"},
                                                                 {DesktopThemeOption::quorvelle, "quorvelle"},
                                                                 {DesktopThemeOption::light, "light"}};
    QQuickItem* overlay = harness.item("overlay");
    for (const char* language : {"english", "turkish"}) {
        viewModel->preferences()->setAppLanguage(QString::fromLatin1(language));
        for (const auto& [theme, themeName] : themes) {
            viewModel->preferences()->setDesktopTheme(theme);
            for (const bool compact : {false, true}) {
                viewModel->preferences()->setWidgetAppearance(compact ? WidgetAppearance::logoOnly
                                                                      : WidgetAppearance::currentWidget);
                for (const auto& [name, state, title, detail, symbol, style] : cases) {
                    const std::string where =
                        std::string(language) + "-" + themeName + "-" + (compact ? "compact-" : "full-") + name;
                    SCOPED_TRACE(where);
                    // Choosing an appearance says so in the inline message, which the detail would show.
                    viewModel->context().setInlineMessage(std::nullopt);
                    show(state);
                    // Full level bars are the tallest the row draws.
                    publishLevels(AudioLevelSnapshot{0.5, 1.0, std::vector<double>(12, 1.0)});
                    harness.grab();
                    if (theme == DesktopThemeOption::black || (style == Style::problem && !compact))
                        harness.shoot("overlay-" + where);
                    EXPECT_EQ(QSizeF(overlay->width(), overlay->height()),
                              compact ? QSizeF(128, 144) : QSizeF(416, 228));
                    QQuickItem* surface = harness.item(compact ? "overlay-compact" : "overlay-pill");
                    for (QQuickItem* item : surface->parentItem()->childItems())
                        expectInside(surface, item, where);
                    EXPECT_EQ(glyphsIn(overlay), compact && state.kind() == SessionState::Kind::recording
                                                     ? QStringList()
                                                     : QStringList{symbol});
                    if (compact) {
                        EXPECT_TRUE(textsIn(overlay).isEmpty());
                        continue;
                    }
                    if (std::string(language) == "english" && !title.isEmpty()) {
                        EXPECT_EQ(textsIn(overlay), (QStringList{title, "Control + Alt + Space", detail}));
                    }
                    // The detail takes the palette of the state's style in the chosen theme.
                    EXPECT_COLOR_NEAR(harness.item("overlay-detail")->property("color").value<QColor>(),
                                      RuntimeOverlayTheme::palette(style, theme).secondaryText);
                }
            }
        }
    }
}

TEST_F(RuntimeOverlayViewTest, MessagesAndLevelsReachThePillInBothForms) {
    // A long title keeps one line and a long message two, inside the pill.
    viewModel->context().setInlineMessage(QStringLiteral("word ").repeated(80));
    show(SessionState::blocked(SessionBlockReason::noWritableTarget));
    QQuickItem* title = harness.item("overlay-title");
    QQuickItem* detail = harness.item("overlay-detail");
    EXPECT_EQ(title->property("lineCount").toInt(), 1);
    EXPECT_EQ(detail->property("lineCount").toInt(), 2);
    EXPECT_TRUE(detail->property("truncated").toBool());
    harness.shoot("overlay-full-long-message");
    viewModel->context().setInlineMessage("Metin eklendi.");
    show(SessionState::success());
    EXPECT_EQ(textsIn(harness.root()).first(), "Text inserted");
    EXPECT_EQ(textsIn(harness.root()).last(), "Metin eklendi.");
    viewModel->preferences()->setAppLanguage(AppLanguageOption::turkish);
    viewModel->context().setInlineMessage(std::nullopt);
    show(SessionState::recording());
    EXPECT_EQ(textsIn(harness.root()).first(), "Kayıt alınıyor");
    EXPECT_EQ(textsIn(harness.root()).last(), "Bırakınca capture kapanır ve transcription akışı başlar.");

    // Levels drive the bars without rebuilding them, in both forms.
    QQuickItem* waveform = harness.item("overlay-waveform");
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
    viewModel->preferences()->setWidgetAppearance(WidgetAppearance::logoOnly);
    publishLevels(AudioLevelSnapshot{0.5, 1.0, std::vector<double>(12, 1.0)});
    QQuickItem* levels = harness.item("status-glyph-levels");
    ASSERT_EQ(barsIn(levels).size(), 5);
    EXPECT_EQ(barsIn(levels)[2]->height(), 20);
    EXPECT_DOUBLE_EQ(harness.item("overlay-compact-halo")->scale(), 1.1);
    show(SessionState::blocked(SessionBlockReason::noWritableTarget));
    EXPECT_FALSE(levels->isVisible());
    EXPECT_DOUBLE_EQ(harness.item("overlay-compact-halo")->scale(), 1.0);
}

}  // namespace
}  // namespace quorvelle::test
