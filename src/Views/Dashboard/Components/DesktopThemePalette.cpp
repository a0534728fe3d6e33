#include "Views/Dashboard/Components/DesktopThemePalette.h"

#include "Views/Dashboard/Components/ThemeColorNotation.h"

namespace quorvelle {

using theme::rgb;

const DesktopThemePalette& DesktopThemePalette::quorvelle() {
    static const DesktopThemePalette value{
        .background = rgb(0.07, 0.08, 0.10),
        .panel = rgb(0.09, 0.10, 0.13),
        .linePrimary = rgb(0.94, 0.95, 0.98),
        .lineSecondary = rgb(0.56, 0.60, 0.74),
        .buttonPrimary = rgb(0.24, 0.52, 0.96),
        .buttonSecondary = rgb(0.09, 0.69, 0.86),
        .pill = rgb(0.08, 0.09, 0.12),
        .pillText = theme::white(),
        .dot = rgb(0.22, 0.52, 0.96),
    };
    return value;
}

const DesktopThemePalette& DesktopThemePalette::black() {
    static const DesktopThemePalette value{
        .background = rgb(0.02, 0.02, 0.03),
        .panel = rgb(0.08, 0.08, 0.09),
        .linePrimary = theme::white(0.92),
        .lineSecondary = theme::white(0.48),
        .buttonPrimary = theme::white(0.96),
        .buttonSecondary = rgb(0.46, 0.50, 0.60),
        .pill = rgb(0.09, 0.09, 0.10),
        .pillText = theme::white(),
        .dot = theme::white(0.80),
    };
    return value;
}

const DesktopThemePalette& DesktopThemePalette::light() {
    static const DesktopThemePalette value{
        .background = rgb(0.97, 0.97, 0.97),
        .panel = rgb(0.93, 0.93, 0.93),
        .linePrimary = rgb(0.28, 0.30, 0.36),
        .lineSecondary = rgb(0.60, 0.62, 0.68),
        .buttonPrimary = rgb(0.22, 0.42, 0.90),
        .buttonSecondary = rgb(0.70, 0.74, 0.84),
        .pill = theme::white(),
        .pillText = theme::black(),
        .dot = rgb(0.20, 0.22, 0.28),
    };
    return value;
}

}  // namespace quorvelle
