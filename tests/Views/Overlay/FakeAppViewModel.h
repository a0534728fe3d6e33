#pragma once

#include "Models/AppStrings.h"
#include "Models/AudioLevelSnapshot.h"
#include "Models/HotkeyShortcut.h"
#include "Models/SessionState.h"

#include <QList>
#include <QObject>
#include <QString>

namespace quorvelle::test {

// The view model as the overlay, the recorder and the capture sheet see it: the same property
// and operation names, writable from the test, with a log of the operations called.
class FakeAppViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(quorvelle::SessionState runtimeState MEMBER runtimeState NOTIFY changed)
    Q_PROPERTY(QString inlineMessage MEMBER inlineMessage NOTIFY changed)
    Q_PROPERTY(QString lastCaptureSummary MEMBER lastCaptureSummary NOTIFY changed)
    Q_PROPERTY(QString selectedRecordingTriggerMode MEMBER selectedRecordingTriggerMode NOTIFY changed)
    Q_PROPERTY(QString selectedDesktopTheme MEMBER selectedDesktopTheme NOTIFY changed)
    Q_PROPERTY(QString selectedWidgetAppearance MEMBER selectedWidgetAppearance NOTIFY changed)
    Q_PROPERTY(quorvelle::HotkeyShortcut selectedHotkey MEMBER selectedHotkey NOTIFY changed)
    Q_PROPERTY(
        quorvelle::AudioLevelSnapshot audioLevelSnapshot MEMBER audioLevelSnapshot NOTIFY audioLevelSnapshotChanged)
    Q_PROPERTY(quorvelle::AppStrings strings MEMBER strings NOTIFY changed)

public:
    SessionState runtimeState;
    QString inlineMessage;
    QString lastCaptureSummary;
    QString selectedRecordingTriggerMode = QStringLiteral("pushToTalk");
    QString selectedDesktopTheme = QStringLiteral("black");
    QString selectedWidgetAppearance = QStringLiteral("currentWidget");
    HotkeyShortcut selectedHotkey = HotkeyShortcut::suggestions().first();
    AudioLevelSnapshot audioLevelSnapshot = AudioLevelSnapshot::silent();
    AppStrings strings;

    QList<HotkeyShortcut> hotkeysSet;
    QStringList unsupportedReports;

    Q_INVOKABLE void setHotkey(const quorvelle::HotkeyShortcut& shortcut) { hotkeysSet << shortcut; }
    Q_INVOKABLE void reportHotkeyCaptureUnsupported(const QString& message) { unsupportedReports << message; }

    // After changing fields: tells the views.
    void publish() { Q_EMIT changed(); }
    void publishLevels(const AudioLevelSnapshot& snapshot) {
        audioLevelSnapshot = snapshot;
        Q_EMIT audioLevelSnapshotChanged();
    }

Q_SIGNALS:
    void changed();
    void audioLevelSnapshotChanged();
};

}  // namespace quorvelle::test
