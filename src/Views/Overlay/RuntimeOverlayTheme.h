#pragma once

#include "Models/DesktopThemeOption.h"
#include "Models/SessionState.h"

#include <QColor>
#include <QObject>
#include <QtQmlIntegration>

namespace quorvelle {

// The overlay's colour family: cool grey at rest, cyan while working, amber on a problem.
enum class RuntimeOverlayStatusStyle { idle, active, problem };

RuntimeOverlayStatusStyle statusStyleOf(const SessionState& state);

// Every colour of the overlay pill: the signal colours follow the status style, the surfaces,
// border, badge and texts follow the desktop theme. QML sees it as `runtimeOverlayTheme`.
struct RuntimeOverlayTheme {
    Q_GADGET
    QML_VALUE_TYPE(runtimeOverlayTheme)

    // Diagonal, top-left to bottom-right.
    Q_PROPERTY(QColor surfaceGradientStart MEMBER surfaceGradientStart)
    Q_PROPERTY(QColor surfaceGradientEnd MEMBER surfaceGradientEnd)
    // Vertical, from this colour at the top edge to clear at the middle.
    Q_PROPERTY(QColor surfaceHighlightTop MEMBER surfaceHighlightTop)
    Q_PROPERTY(QColor accent MEMBER accent)
    Q_PROPERTY(QColor glow MEMBER glow)
    Q_PROPERTY(QColor borderColor MEMBER borderColor)
    Q_PROPERTY(QColor badgeFill MEMBER badgeFill)
    Q_PROPERTY(QColor badgeStroke MEMBER badgeStroke)
    Q_PROPERTY(QColor primaryText MEMBER primaryText)
    Q_PROPERTY(QColor secondaryText MEMBER secondaryText)

public:
    QColor surfaceGradientStart;
    QColor surfaceGradientEnd;
    QColor surfaceHighlightTop;
    QColor accent;
    QColor glow;
    QColor borderColor;
    QColor badgeFill;
    QColor badgeStroke;
    QColor primaryText;
    QColor secondaryText;

    static RuntimeOverlayTheme palette(RuntimeOverlayStatusStyle style, DesktopThemeOption desktopTheme);

    friend bool operator==(const RuntimeOverlayTheme&, const RuntimeOverlayTheme&) = default;
};

}  // namespace quorvelle
