#include "Views/Overlay/RuntimeOverlayTheme.h"

namespace quorvelle {

namespace {

QColor rgb(double r, double g, double b) {
    return QColor::fromRgbF(float(r), float(g), float(b));
}

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(float(alpha));
    return color;
}

QColor white(double alpha) {
    return withAlpha(Qt::white, alpha);
}

QColor black(double alpha) {
    return withAlpha(Qt::black, alpha);
}

}  // namespace

RuntimeOverlayStatusStyle statusStyleOf(const SessionState& state) {
    switch (state.kind()) {
        case SessionState::Kind::idle: return RuntimeOverlayStatusStyle::idle;
        case SessionState::Kind::blocked:
        case SessionState::Kind::error: return RuntimeOverlayStatusStyle::problem;
        case SessionState::Kind::recording:
        case SessionState::Kind::uploading:
        case SessionState::Kind::injecting:
        case SessionState::Kind::fallbackCopied:
        case SessionState::Kind::success: return RuntimeOverlayStatusStyle::active;
    }
    return RuntimeOverlayStatusStyle::idle;
}

RuntimeOverlayTheme RuntimeOverlayTheme::palette(RuntimeOverlayStatusStyle style, DesktopThemeOption desktopTheme) {
    RuntimeOverlayTheme theme;
    switch (style) {
        case RuntimeOverlayStatusStyle::idle:
            theme.accent = rgb(0.78, 0.84, 0.90);
            theme.glow = rgb(0.58, 0.66, 0.76);
            break;
        case RuntimeOverlayStatusStyle::active:
            theme.accent = rgb(0.33, 0.88, 0.93);
            theme.glow = rgb(0.20, 0.70, 0.78);
            break;
        case RuntimeOverlayStatusStyle::problem:
            theme.accent = rgb(0.96, 0.74, 0.40);
            theme.glow = rgb(0.84, 0.52, 0.22);
            break;
    }
    const QColor accent = theme.accent;
    switch (desktopTheme) {
        case DesktopThemeOption::quorvelle:
            theme.surfaceGradientStart = rgb(0.12, 0.16, 0.22);
            theme.surfaceGradientEnd = rgb(0.08, 0.10, 0.15);
            theme.surfaceHighlightTop = withAlpha(rgb(0.35, 0.52, 0.98), 0.12);
            theme.borderColor = withAlpha(accent, 0.30);
            theme.badgeFill = white(0.07);
            theme.badgeStroke = withAlpha(accent, 0.22);
            theme.primaryText = white(0.96);
            theme.secondaryText = rgb(0.76, 0.82, 0.92);
            break;
        case DesktopThemeOption::black:
            theme.surfaceGradientStart = rgb(0.16, 0.18, 0.21);
            theme.surfaceGradientEnd = rgb(0.10, 0.11, 0.14);
            theme.surfaceHighlightTop = white(0.05);
            theme.borderColor = withAlpha(accent, 0.26);
            theme.badgeFill = white(0.05);
            theme.badgeStroke = withAlpha(accent, 0.18);
            theme.primaryText = white(0.94);
            theme.secondaryText = white(0.72);
            break;
        case DesktopThemeOption::light:
            theme.surfaceGradientStart = white(0.98);
            theme.surfaceGradientEnd = rgb(0.93, 0.95, 0.98);
            theme.surfaceHighlightTop = white(0.65);
            theme.borderColor = withAlpha(accent, 0.24);
            theme.badgeFill = black(0.04);
            theme.badgeStroke = withAlpha(accent, 0.16);
            theme.primaryText = rgb(0.16, 0.18, 0.22);
            theme.secondaryText = rgb(0.36, 0.40, 0.48);
            break;
    }
    return theme;
}

}  // namespace quorvelle
