#include "Services/System/RuntimeOverlayLayoutEngine.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

// Two screens side by side: a laptop panel with a top bar, and a larger monitor to its right.
const OverlayDisplayMetrics kLeft{{0, 0, 1280, 800}, {0, 28, 1280, 772}, {}};
const OverlayDisplayMetrics kRight{{1280, 0, 1920, 1080}, {1280, 0, 1920, 1040}, {}};

TEST(RuntimeOverlayLayoutEngineTest, ChoosesTheScreenUnderThePointerThenPrimaryThenFirst) {
    const QList<OverlayDisplayMetrics> both{kLeft, kRight};
    EXPECT_EQ(RuntimeOverlayLayoutEngine::selectDisplay({1500, 500}, both, kLeft), kRight);
    EXPECT_EQ(RuntimeOverlayLayoutEngine::selectDisplay({1280, 0}, both, kLeft), kRight);  // shared edge
    EXPECT_EQ(RuntimeOverlayLayoutEngine::selectDisplay({-5, 900}, both, kRight), kRight);
    EXPECT_EQ(RuntimeOverlayLayoutEngine::selectDisplay({-5, 900}, both, std::nullopt), kLeft);
    EXPECT_EQ(RuntimeOverlayLayoutEngine::selectDisplay({10, 10}, {}, std::nullopt), std::nullopt);
}

TEST(RuntimeOverlayLayoutEngineTest, PlacesThePanelAtTheBottomCentreWithinTheMargins) {
    const RuntimeOverlayLayoutEngine engine;
    const QSizeF full = RuntimeOverlayLayoutEngine::panelSize(WidgetAppearance::currentWidget);
    const QSizeF logo = RuntimeOverlayLayoutEngine::panelSize(WidgetAppearance::logoOnly);
    EXPECT_EQ(full, QSizeF(416, 188));
    EXPECT_EQ(logo, QSizeF(128, 144));

    // Centred on the second screen; its bottom 20 below the dock's top edge.
    EXPECT_EQ(engine.panelFrame(full, kRight), QRectF(1280 + 960 - 208, 1040 + 20 - 188, 416, 188));
    EXPECT_EQ(engine.panelFrame(logo, kLeft), QRectF(640 - 64, 800 + 20 - 144, 128, 144));

    // Insets that leave nothing usable: the visible frame is centred on instead.
    const OverlayDisplayMetrics swallowed{{0, 0, 1000, 800}, {100, 0, 900, 700}, {0, 600, 0, 600}};
    EXPECT_EQ(engine.panelFrame(full, swallowed), QRectF(550 - 208, 720 - 188, 416, 188));

    // A bottom inset above the dock lifts the panel; a usable area off to one side is clamped to the
    // visible frame's side, 12 past it at most.
    const OverlayDisplayMetrics notched{{0, 0, 1000, 800}, {0, 0, 1000, 780}, {0, 0, 0, 100}};
    EXPECT_EQ(engine.panelFrame(full, notched).bottom(), 720);
    const OverlayDisplayMetrics offside{{0, 0, 1000, 800}, {0, 0, 1000, 780}, {900, 0, 0, 0}};
    EXPECT_EQ(engine.panelFrame(full, offside).left(), 1000 + 12 - 416);

    // Narrower than the panel: the left edge sits 12 before the visible frame, the size is kept.
    const OverlayDisplayMetrics narrow{{0, 0, 300, 800}, {10, 0, 290, 800}, {}};
    EXPECT_EQ(engine.panelFrame(full, narrow), QRectF(-2, 820 - 188, 416, 188));
}

}  // namespace
}  // namespace quorvelle
