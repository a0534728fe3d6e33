#include "Views/Dashboard/Components/DesktopThemeColors.h"

#include "Views/Dashboard/Components/ThemeColorNotation.h"

namespace quorvelle {

using theme::rgb;

DesktopThemeColors DesktopThemeColors::forOption(DesktopThemeOption option) {
    switch (option) {
        case DesktopThemeOption::quorvelle: return quorvelle();
        case DesktopThemeOption::black: return black();
        case DesktopThemeOption::light: return light();
    }
    return black();
}

DesktopThemeColors DesktopThemeColors::quorvelle() {
    DesktopThemeColors c;
    c.canvas = rgb(0.05, 0.06, 0.08);
    c.sidebarBackground = rgb(0.04, 0.05, 0.07);
    c.contentBackground = rgb(0.06, 0.07, 0.09);
    c.sidebarSelection = rgb(0.16, 0.23, 0.35);
    c.divider = rgb(0.17, 0.23, 0.31);
    c.cardFill = rgb(0.09, 0.11, 0.15);
    c.cardBorder = rgb(0.18, 0.26, 0.36);
    c.inputBackground = rgb(0.07, 0.09, 0.13);
    c.inputBorder = rgb(0.18, 0.25, 0.35);
    c.controlBorder = rgb(0.42, 0.53, 0.68);
    c.headerIconBackground = rgb(0.12, 0.18, 0.27);
    c.pillFill = rgb(0.11, 0.16, 0.24);
    c.pillBorder = rgb(0.22, 0.32, 0.45);
    c.primaryText = theme::white(0.95);
    c.secondaryText = rgb(0.63, 0.71, 0.84);
    c.darkButtonText = theme::black(0.92);
    c.primaryButtonFill = rgb(0.26, 0.56, 0.98);
    c.secondaryButtonFill = rgb(0.95, 0.74, 0.38);
    c.warmText = rgb(0.98, 0.82, 0.36);
    c.warmBackground = rgb(0.24, 0.18, 0.08);
    c.successText = rgb(0.40, 0.92, 0.78);
    c.successBackground = rgb(0.08, 0.22, 0.18);
    c.errorText = rgb(1.00, 0.45, 0.43);
    c.errorBorder = rgb(0.48, 0.17, 0.14);
    c.avatarFill = rgb(0.18, 0.26, 0.37);
    c.selectedCardFill = rgb(0.13, 0.19, 0.29);
    c.selectedCardBorder = rgb(0.42, 0.63, 0.96);
    c.selectedGlow = rgb(0.24, 0.52, 0.96, 0.28);
    c.dashedBorder = rgb(0.22, 0.32, 0.45);
    return c;
}

DesktopThemeColors DesktopThemeColors::black() {
    DesktopThemeColors c;
    c.canvas = theme::black();
    c.sidebarBackground = rgb(0.02, 0.02, 0.02);
    c.contentBackground = theme::black();
    c.sidebarSelection = theme::white(0.11);
    c.divider = theme::white(0.08);
    c.cardFill = rgb(0.06, 0.06, 0.06);
    c.cardBorder = theme::white(0.08);
    c.inputBackground = rgb(0.04, 0.04, 0.04);
    c.inputBorder = theme::white(0.06);
    // Opaque, so that it reads the same over the card, the field and the page.
    c.controlBorder = rgb(0.50, 0.50, 0.50);
    c.headerIconBackground = rgb(0.15, 0.15, 0.16);
    c.pillFill = rgb(0.08, 0.08, 0.08);
    c.pillBorder = theme::white(0.04);
    c.primaryText = theme::white(0.94);
    // Lifted from 0.42 so that body text reads at 4.5:1 on the cards and the page.
    c.secondaryText = theme::white(0.5);
    c.darkButtonText = theme::black(0.92);
    c.primaryButtonFill = theme::white(0.96);
    c.secondaryButtonFill = theme::white(0.68);
    c.warmText = rgb(1.00, 0.84, 0.22);
    c.warmBackground = rgb(0.20, 0.17, 0.05);
    c.successText = rgb(0.16, 0.85, 0.58);
    c.successBackground = rgb(0.07, 0.18, 0.12);
    c.errorText = rgb(1.00, 0.32, 0.32);
    c.errorBorder = rgb(0.42, 0.10, 0.10);
    c.avatarFill = theme::white(0.14);
    c.selectedCardFill = rgb(0.17, 0.17, 0.17);
    c.selectedCardBorder = theme::white(0.56);
    c.selectedGlow = theme::white(0.18);
    c.dashedBorder = theme::white(0.08);
    return c;
}

DesktopThemeColors DesktopThemeColors::light() {
    DesktopThemeColors c;
    c.canvas = rgb(0.95, 0.96, 0.98);
    c.sidebarBackground = rgb(0.92, 0.94, 0.97);
    c.contentBackground = rgb(0.96, 0.97, 0.99);
    c.sidebarSelection = rgb(0.84, 0.88, 0.95);
    c.divider = rgb(0.80, 0.84, 0.90);
    c.cardFill = theme::white();
    c.cardBorder = rgb(0.82, 0.85, 0.91);
    c.inputBackground = rgb(0.93, 0.95, 0.98);
    c.inputBorder = rgb(0.79, 0.83, 0.89);
    c.controlBorder = rgb(0.46, 0.50, 0.58);
    c.headerIconBackground = rgb(0.86, 0.89, 0.95);
    c.pillFill = rgb(0.90, 0.93, 0.97);
    c.pillBorder = rgb(0.80, 0.84, 0.90);
    c.primaryText = rgb(0.15, 0.17, 0.22);
    // Deepened from (0.44, 0.48, 0.57) so that body text reads at 4.5:1 on the cards and fields.
    c.secondaryText = rgb(0.36, 0.40, 0.48);
    // Plain white (not at 0.96): 4.5:1 on the prominent blue.
    c.darkButtonText = theme::white();
    c.primaryButtonFill = rgb(0.21, 0.42, 0.90);
    c.secondaryButtonFill = rgb(0.24, 0.54, 0.94);
    // Deepened from (0.72, 0.42, 0.06) and (0.04, 0.55, 0.34): 4.5:1 on their pills' fills.
    c.warmText = rgb(0.60, 0.34, 0.04);
    c.warmBackground = rgb(0.97, 0.91, 0.78);
    c.successText = rgb(0.03, 0.47, 0.29);
    c.successBackground = rgb(0.84, 0.96, 0.90);
    c.errorText = rgb(0.78, 0.19, 0.18);
    c.errorBorder = rgb(0.90, 0.72, 0.72);
    c.avatarFill = rgb(0.85, 0.89, 0.95);
    c.selectedCardFill = rgb(0.89, 0.93, 0.98);
    c.selectedCardBorder = rgb(0.24, 0.54, 0.94);
    c.selectedGlow = rgb(0.24, 0.54, 0.94, 0.18);
    c.dashedBorder = rgb(0.80, 0.84, 0.90);
    return c;
}

DesktopThemeColors DesktopThemeColors::environmentDefault() {
    static const DesktopThemeColors value = black();
    return value;
}

}  // namespace quorvelle
