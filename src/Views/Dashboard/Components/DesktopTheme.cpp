#include "Views/Dashboard/Components/DesktopTheme.h"

namespace quorvelle {

DesktopTheme::DesktopTheme(QObject* parent) : QObject(parent) {}

void DesktopTheme::setColors(const DesktopThemeColors& colors) {
    // The colour set has no equality of its own; a new value always redraws.
    m_colors = colors;
    Q_EMIT colorsChanged();
}

DesktopThemeColors DesktopTheme::colorsFor(const QString& themeName) const {
    const auto option = fromRawValue<DesktopThemeOption>(themeName);
    return option ? DesktopThemeColors::forOption(*option) : DesktopThemeColors::environmentDefault();
}

}  // namespace quorvelle
