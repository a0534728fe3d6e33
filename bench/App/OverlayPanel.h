#pragma once

#include "AppWindows.h"

#include "TestEventLoop.h"

#include <algorithm>

namespace quorvelle::test {

// The panel is 416 wide, and 228 high or taller for a long title or detail.
inline bool overlayShown() {
    const auto windows = windowsOfClass(QStringLiteral("Quorvelle"));
    return std::any_of(windows.begin(), windows.end(), [](const DesktopWindow& w) {
        return w.viewable && !w.inTray && w.geometry.width() == 416 && w.geometry.height() >= 228;
    });
}

// Every press shows the panel until the session is over: the next press must not land in this one.
inline void waitUntilIdle() {
    waitUntil(overlayShown, 5000);
    waitUntil([] { return !overlayShown(); }, 15000);
}

}  // namespace quorvelle::test
