#pragma once

#include <QObject>
#include <QString>
#include <QtQmlIntegration>

namespace quorvelle {

// What the shortcuts page derives from the view model's values: the shortcut's title in the
// compact form of the card and the line under the recording-mode options. QML reads it as the
// `ShortcutsPageTexts` singleton; every function is pure.
class ShortcutsPageTexts : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit ShortcutsPageTexts(QObject* parent = nullptr);

    // Control and Shift become their key signs, then the separators widen: "Control + Alt + Space"
    // reads "^  +  Alt  +  Space". Alt, Super and the key name are kept.
    Q_INVOKABLE static QString hotkeyDisplayText(const QString& displayTitle);

    // `mode` is the stored name of a recording mode; any other name reads as push-to-talk.
    Q_INVOKABLE static QString recordingModeDescription(const QString& languageCode, const QString& mode);
};

}  // namespace quorvelle
