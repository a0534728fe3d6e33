#pragma once

#include "Models/AppStrings.h"
#include "Models/AudioInputDevicePreference.h"
#include "Models/AudioLevelSnapshot.h"
#include "Models/DiagnosticsSnapshot.h"
#include "Models/HotkeyShortcut.h"
#include "Models/SessionState.h"
#include "Models/TranscriptionTelemetrySnapshot.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <QObject>
#include <QVariant>

#include <optional>

namespace quorvelle {

class AppViewModel;

// The view model as the popover reads it: the parts' values on one object under their design names,
// stored enumerations by their case names, the account and local-model copies and the readiness
// record as maps. Only forwards; it keeps no state. Levels have a signal of their own.
class PopoverViewModelAdapter : public QObject {
    Q_OBJECT
    // The view model itself, for the setup screen, which reads its parts.
    Q_PROPERTY(QObject* appViewModel READ appViewModel CONSTANT)
    Q_PROPERTY(quorvelle::AppStrings strings READ strings NOTIFY changed)
    Q_PROPERTY(QString inlineMessage READ inlineMessage NOTIFY changed)
    // hasAPIKey, isComplete.
    Q_PROPERTY(QVariantMap onboardingStatus READ onboardingStatus NOTIFY changed)
    // hasBackendAuthSessionManager, backendAuthChallenge (null or userCode), accountRequiredTitle,
    // accountRequiredMessage, accountStatusLabel.
    Q_PROPERTY(QVariantMap accountCopy READ accountCopy NOTIFY changed)
    // runtimeStatusLabel.
    Q_PROPERTY(QVariantMap localModelCopy READ localModelCopy NOTIFY changed)
    Q_PROPERTY(bool isBackendAuthPolling READ isBackendAuthPolling NOTIFY changed)
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY changed)
    // The two flags the views write.
    Q_PROPERTY(bool showingGroqDisclosureSheet READ showingGroqDisclosureSheet WRITE setShowingGroqDisclosureSheet
                   NOTIFY changed)
    Q_PROPERTY(bool showingPrivacyDisclosureSheet READ showingPrivacyDisclosureSheet WRITE
                   setShowingPrivacyDisclosureSheet NOTIFY changed)
    Q_PROPERTY(QString selectedTranscriptionBackend READ selectedTranscriptionBackend NOTIFY changed)
    Q_PROPERTY(QString selectedLocalModelID READ selectedLocalModelID NOTIFY changed)
    Q_PROPERTY(quorvelle::HotkeyShortcut selectedHotkey READ selectedHotkey NOTIFY changed)
    Q_PROPERTY(QVariantList hotkeySuggestions READ hotkeySuggestions NOTIFY changed)
    Q_PROPERTY(QString selectedRecordingTriggerMode READ selectedRecordingTriggerMode NOTIFY changed)
    Q_PROPERTY(bool isHotkeyMonitoringActive READ isHotkeyMonitoringActive NOTIFY changed)
    Q_PROPERTY(bool isLastDictationAutoReplaceEnabled READ isLastDictationAutoReplaceEnabled NOTIFY changed)
    Q_PROPERTY(bool isClipboardFallbackEnabled READ isClipboardFallbackEnabled NOTIFY changed)
    Q_PROPERTY(std::optional<quorvelle::AudioInputDevicePreference> selectedMicrophonePreference READ
                   selectedMicrophonePreference NOTIFY changed)
    Q_PROPERTY(QString selectedMicrophoneLabel READ selectedMicrophoneLabel NOTIFY changed)
    Q_PROPERTY(QString microphoneSelectionMessage READ microphoneSelectionMessage NOTIFY changed)
    Q_PROPERTY(quorvelle::SessionState runtimeState READ runtimeState NOTIFY changed)
    Q_PROPERTY(std::optional<quorvelle::FocusedTargetSnapshot> focusedTarget READ focusedTarget NOTIFY changed)
    Q_PROPERTY(QString lastCaptureSummary READ lastCaptureSummary NOTIFY changed)
    Q_PROPERTY(
        quorvelle::TranscriptionTelemetrySnapshot transcriptionTelemetry READ transcriptionTelemetry NOTIFY changed)
    Q_PROPERTY(quorvelle::DiagnosticsSnapshot diagnosticsSnapshot READ diagnosticsSnapshot NOTIFY changed)
    Q_PROPERTY(QString selectedDesktopTheme READ selectedDesktopTheme NOTIFY changed)
    Q_PROPERTY(QString selectedWidgetAppearance READ selectedWidgetAppearance NOTIFY changed)
    Q_PROPERTY(
        quorvelle::AudioLevelSnapshot audioLevelSnapshot READ audioLevelSnapshot NOTIFY audioLevelSnapshotChanged)

public:
    explicit PopoverViewModelAdapter(AppViewModel& viewModel, QObject* parent = nullptr);

    QObject* appViewModel() const;
    AppStrings strings() const;
    QString inlineMessage() const;
    QVariantMap onboardingStatus() const;
    QVariantMap accountCopy() const;
    QVariantMap localModelCopy() const;
    bool isBackendAuthPolling() const;
    bool canCheckForUpdates() const;
    bool showingGroqDisclosureSheet() const;
    void setShowingGroqDisclosureSheet(bool showing);
    bool showingPrivacyDisclosureSheet() const;
    void setShowingPrivacyDisclosureSheet(bool showing);
    QString selectedTranscriptionBackend() const;
    QString selectedLocalModelID() const;
    HotkeyShortcut selectedHotkey() const;
    QVariantList hotkeySuggestions() const;
    QString selectedRecordingTriggerMode() const;
    bool isHotkeyMonitoringActive() const;
    bool isLastDictationAutoReplaceEnabled() const;
    bool isClipboardFallbackEnabled() const;
    std::optional<AudioInputDevicePreference> selectedMicrophonePreference() const;
    QString selectedMicrophoneLabel() const;
    QString microphoneSelectionMessage() const;
    SessionState runtimeState() const;
    std::optional<FocusedTargetSnapshot> focusedTarget() const;
    QString lastCaptureSummary() const;
    TranscriptionTelemetrySnapshot transcriptionTelemetry() const;
    DiagnosticsSnapshot diagnosticsSnapshot() const;
    QString selectedDesktopTheme() const;
    QString selectedWidgetAppearance() const;
    AudioLevelSnapshot audioLevelSnapshot() const;

    Q_INVOKABLE void reloadSettings();
    Q_INVOKABLE void startBackendSignIn();
    Q_INVOKABLE void openSignInVerificationPage();
    Q_INVOKABLE void checkSignInApproval();
    Q_INVOKABLE void checkForUpdates();
    Q_INVOKABLE void setHotkey(const quorvelle::HotkeyShortcut& shortcut);
    Q_INVOKABLE void reportHotkeyCaptureUnsupported(const QString& message);
    // A case name; any other text changes nothing.
    Q_INVOKABLE void setRecordingTriggerMode(const QString& mode);
    Q_INVOKABLE void setLastDictationAutoReplaceEnabled(bool enabled);
    Q_INVOKABLE void setClipboardFallbackEnabled(bool enabled);
    // A device uid, or null for the system default.
    Q_INVOKABLE void setMicrophonePreference(const QVariant& uid);

Q_SIGNALS:
    void changed();
    void audioLevelSnapshotChanged();

private:
    AppViewModel& m_viewModel;
};

}  // namespace quorvelle
