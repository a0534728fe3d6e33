#pragma once

#include "Models/DesktopThemeOption.h"

#include <QColor>
#include <QObject>
#include <QtQmlIntegration>

namespace quorvelle {

// The colours every dashboard view is painted with. A value; QML sees it as
// `desktopThemeColors` and reads the fields by name.
struct DesktopThemeColors {
    Q_GADGET
    QML_VALUE_TYPE(desktopThemeColors)

    Q_PROPERTY(QColor canvas MEMBER canvas)
    Q_PROPERTY(QColor sidebarBackground MEMBER sidebarBackground)
    Q_PROPERTY(QColor contentBackground MEMBER contentBackground)
    Q_PROPERTY(QColor sidebarSelection MEMBER sidebarSelection)
    Q_PROPERTY(QColor divider MEMBER divider)
    Q_PROPERTY(QColor cardFill MEMBER cardFill)
    Q_PROPERTY(QColor cardBorder MEMBER cardBorder)
    Q_PROPERTY(QColor inputBackground MEMBER inputBackground)
    Q_PROPERTY(QColor inputBorder MEMBER inputBorder)
    Q_PROPERTY(QColor controlBorder MEMBER controlBorder)
    Q_PROPERTY(QColor headerIconBackground MEMBER headerIconBackground)
    Q_PROPERTY(QColor pillFill MEMBER pillFill)
    Q_PROPERTY(QColor pillBorder MEMBER pillBorder)
    Q_PROPERTY(QColor primaryText MEMBER primaryText)
    Q_PROPERTY(QColor secondaryText MEMBER secondaryText)
    Q_PROPERTY(QColor darkButtonText MEMBER darkButtonText)
    Q_PROPERTY(QColor primaryButtonFill MEMBER primaryButtonFill)
    Q_PROPERTY(QColor secondaryButtonFill MEMBER secondaryButtonFill)
    Q_PROPERTY(QColor warmText MEMBER warmText)
    Q_PROPERTY(QColor warmBackground MEMBER warmBackground)
    Q_PROPERTY(QColor successText MEMBER successText)
    Q_PROPERTY(QColor successBackground MEMBER successBackground)
    Q_PROPERTY(QColor errorText MEMBER errorText)
    Q_PROPERTY(QColor errorBorder MEMBER errorBorder)
    Q_PROPERTY(QColor avatarFill MEMBER avatarFill)
    Q_PROPERTY(QColor selectedCardFill MEMBER selectedCardFill)
    Q_PROPERTY(QColor selectedCardBorder MEMBER selectedCardBorder)
    Q_PROPERTY(QColor selectedGlow MEMBER selectedGlow)
    Q_PROPERTY(QColor dashedBorder MEMBER dashedBorder)

public:
    QColor canvas;
    QColor sidebarBackground;
    QColor contentBackground;
    QColor sidebarSelection;
    QColor divider;
    QColor cardFill;
    QColor cardBorder;
    QColor inputBackground;
    QColor inputBorder;
    // The outline of a control known by its box (field, editor, pop-up, selection ring, unchosen
    // switch or segment row): 3:1 at least against the cards (also the selected fill), the field and
    // the page, where `inputBorder` stays a quiet line for boxes that only group.
    QColor controlBorder;
    QColor headerIconBackground;
    QColor pillFill;
    QColor pillBorder;
    QColor primaryText;
    QColor secondaryText;
    QColor darkButtonText;
    QColor primaryButtonFill;
    QColor secondaryButtonFill;
    QColor warmText;
    QColor warmBackground;
    QColor successText;
    QColor successBackground;
    QColor errorText;
    QColor errorBorder;
    QColor avatarFill;
    QColor selectedCardFill;
    QColor selectedCardBorder;
    QColor selectedGlow;
    QColor dashedBorder;

    // The colours of a theme; total over the three themes.
    static DesktopThemeColors forOption(DesktopThemeOption option);

    static DesktopThemeColors quorvelle();
    static DesktopThemeColors black();
    static DesktopThemeColors light();

    // What a view sees outside the dashboard root: the black theme, built once.
    static DesktopThemeColors environmentDefault();
};

}  // namespace quorvelle
