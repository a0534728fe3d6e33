#pragma once

#include "Views/Dashboard/Components/DesktopThemeColors.h"
#include "Views/Dashboard/Components/DesktopThemePalette.h"

#include <QObject>
#include <QtQmlIntegration>

namespace quorvelle {

// The dashboard's theme as the views read it: `DesktopTheme.colors.cardFill`. Outside the
// dashboard root it holds the black theme; the root replaces `colors` when the user picks another.
class DesktopTheme : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(quorvelle::DesktopThemeColors colors READ colors WRITE setColors NOTIFY colorsChanged)
    Q_PROPERTY(quorvelle::DesktopThemePalette quorvellePalette READ quorvellePalette CONSTANT)
    Q_PROPERTY(quorvelle::DesktopThemePalette blackPalette READ blackPalette CONSTANT)
    Q_PROPERTY(quorvelle::DesktopThemePalette lightPalette READ lightPalette CONSTANT)

public:
    explicit DesktopTheme(QObject* parent = nullptr);

    DesktopThemeColors colors() const { return m_colors; }
    void setColors(const DesktopThemeColors& colors);

    // The colours of a theme by its stored name ("quorvelle", "black", "light"); the black
    // theme's for any other name. The dashboard root: `colors: DesktopTheme.colorsFor(vm.x)`.
    Q_INVOKABLE quorvelle::DesktopThemeColors colorsFor(const QString& themeName) const;

    DesktopThemePalette quorvellePalette() const { return DesktopThemePalette::quorvelle(); }
    DesktopThemePalette blackPalette() const { return DesktopThemePalette::black(); }
    DesktopThemePalette lightPalette() const { return DesktopThemePalette::light(); }

Q_SIGNALS:
    void colorsChanged();

private:
    DesktopThemeColors m_colors = DesktopThemeColors::environmentDefault();
};

}  // namespace quorvelle
