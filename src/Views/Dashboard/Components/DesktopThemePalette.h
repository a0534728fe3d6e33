#pragma once

#include <QColor>
#include <QObject>
#include <QtQmlIntegration>

namespace quorvelle {

// The nine colours of one theme's miniature window on the appearance page. Separate constants,
// not derived from DesktopThemeColors.
struct DesktopThemePalette {
    Q_GADGET
    QML_VALUE_TYPE(desktopThemePalette)

    Q_PROPERTY(QColor background MEMBER background)
    Q_PROPERTY(QColor panel MEMBER panel)
    Q_PROPERTY(QColor linePrimary MEMBER linePrimary)
    Q_PROPERTY(QColor lineSecondary MEMBER lineSecondary)
    Q_PROPERTY(QColor buttonPrimary MEMBER buttonPrimary)
    Q_PROPERTY(QColor buttonSecondary MEMBER buttonSecondary)
    Q_PROPERTY(QColor pill MEMBER pill)
    Q_PROPERTY(QColor pillText MEMBER pillText)
    Q_PROPERTY(QColor dot MEMBER dot)

public:
    QColor background;
    QColor panel;
    QColor linePrimary;
    QColor lineSecondary;
    QColor buttonPrimary;
    QColor buttonSecondary;
    QColor pill;
    QColor pillText;
    QColor dot;

    // Each built once, on first use.
    static const DesktopThemePalette& quorvelle();
    static const DesktopThemePalette& black();
    static const DesktopThemePalette& light();
};

}  // namespace quorvelle
