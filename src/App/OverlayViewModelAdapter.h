#pragma once

#include "Models/AppStrings.h"
#include "Models/AudioLevelSnapshot.h"
#include "Models/HotkeyShortcut.h"
#include "Models/SessionState.h"

#include <QObject>

namespace quorvelle {

class AppViewModel;

// The view model as the overlay pill reads it: the session's and the preferences' values on one
// object, the stored enumerations by their case names. Only forwards; it keeps no state.
class OverlayViewModelAdapter : public QObject {
    Q_OBJECT
    Q_PROPERTY(quorvelle::SessionState runtimeState READ runtimeState NOTIFY changed)
    Q_PROPERTY(QString inlineMessage READ inlineMessage NOTIFY changed)
    Q_PROPERTY(QString lastCaptureSummary READ lastCaptureSummary NOTIFY changed)
    Q_PROPERTY(QString selectedRecordingTriggerMode READ selectedRecordingTriggerMode NOTIFY changed)
    Q_PROPERTY(QString selectedDesktopTheme READ selectedDesktopTheme NOTIFY changed)
    Q_PROPERTY(QString selectedWidgetAppearance READ selectedWidgetAppearance NOTIFY changed)
    Q_PROPERTY(quorvelle::HotkeyShortcut selectedHotkey READ selectedHotkey NOTIFY changed)
    Q_PROPERTY(quorvelle::AppStrings strings READ strings NOTIFY changed)
    // Many times a second while recording: a signal of its own.
    Q_PROPERTY(
        quorvelle::AudioLevelSnapshot audioLevelSnapshot READ audioLevelSnapshot NOTIFY audioLevelSnapshotChanged)

public:
    explicit OverlayViewModelAdapter(AppViewModel& viewModel, QObject* parent = nullptr);

    SessionState runtimeState() const;
    QString inlineMessage() const;
    QString lastCaptureSummary() const;
    QString selectedRecordingTriggerMode() const;
    QString selectedDesktopTheme() const;
    QString selectedWidgetAppearance() const;
    HotkeyShortcut selectedHotkey() const;
    AppStrings strings() const;
    AudioLevelSnapshot audioLevelSnapshot() const;

Q_SIGNALS:
    void changed();
    void audioLevelSnapshotChanged();

private:
    AppViewModel& m_viewModel;
};

}  // namespace quorvelle
