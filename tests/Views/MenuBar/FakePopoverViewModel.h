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
#include <QStringList>
#include <QVariant>

#include <optional>

namespace quorvelle::test {

// The view model as the popover reads it: the design's names, enumerations as their stored names,
// the derived copies as maps. Every operation is logged as "name(argument)"; with `refuses` set
// the setters change nothing, as a view model that refuses the value.
class FakePopoverViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(quorvelle::AppStrings strings MEMBER strings NOTIFY changed)
    Q_PROPERTY(QString inlineMessage MEMBER inlineMessage NOTIFY changed)
    Q_PROPERTY(QVariantMap onboardingStatus MEMBER onboardingStatus NOTIFY changed)
    Q_PROPERTY(QVariantMap accountCopy MEMBER accountCopy NOTIFY changed)
    Q_PROPERTY(QVariantMap localModelCopy MEMBER localModelCopy NOTIFY changed)
    Q_PROPERTY(bool isBackendAuthPolling MEMBER isBackendAuthPolling NOTIFY changed)
    Q_PROPERTY(bool canCheckForUpdates MEMBER canCheckForUpdates NOTIFY changed)
    Q_PROPERTY(bool showingGroqDisclosureSheet MEMBER showingGroqDisclosureSheet NOTIFY changed)
    Q_PROPERTY(bool showingPrivacyDisclosureSheet MEMBER showingPrivacyDisclosureSheet NOTIFY changed)
    Q_PROPERTY(QString selectedTranscriptionBackend MEMBER selectedTranscriptionBackend NOTIFY changed)
    Q_PROPERTY(QString selectedLocalModelID MEMBER selectedLocalModelID NOTIFY changed)
    Q_PROPERTY(quorvelle::HotkeyShortcut selectedHotkey MEMBER selectedHotkey NOTIFY changed)
    Q_PROPERTY(QVariantList hotkeySuggestions MEMBER hotkeySuggestions NOTIFY changed)
    Q_PROPERTY(QString selectedRecordingTriggerMode MEMBER selectedRecordingTriggerMode NOTIFY changed)
    Q_PROPERTY(bool isHotkeyMonitoringActive MEMBER isHotkeyMonitoringActive NOTIFY changed)
    Q_PROPERTY(bool isLastDictationAutoReplaceEnabled MEMBER isLastDictationAutoReplaceEnabled NOTIFY changed)
    Q_PROPERTY(bool isClipboardFallbackEnabled MEMBER isClipboardFallbackEnabled NOTIFY changed)
    Q_PROPERTY(std::optional<quorvelle::AudioInputDevicePreference> selectedMicrophonePreference MEMBER
                   selectedMicrophonePreference NOTIFY changed)
    Q_PROPERTY(QString selectedMicrophoneLabel MEMBER selectedMicrophoneLabel NOTIFY changed)
    Q_PROPERTY(QString microphoneSelectionMessage MEMBER microphoneSelectionMessage NOTIFY changed)
    Q_PROPERTY(quorvelle::SessionState runtimeState MEMBER runtimeState NOTIFY changed)
    Q_PROPERTY(std::optional<quorvelle::FocusedTargetSnapshot> focusedTarget READ readFocusedTarget NOTIFY changed)
    Q_PROPERTY(QString lastCaptureSummary MEMBER lastCaptureSummary NOTIFY changed)
    Q_PROPERTY(
        quorvelle::TranscriptionTelemetrySnapshot transcriptionTelemetry MEMBER transcriptionTelemetry NOTIFY changed)
    Q_PROPERTY(quorvelle::DiagnosticsSnapshot diagnosticsSnapshot MEMBER diagnosticsSnapshot NOTIFY changed)
    // The overlay pill's own reads.
    Q_PROPERTY(QString selectedDesktopTheme MEMBER selectedDesktopTheme NOTIFY changed)
    Q_PROPERTY(QString selectedWidgetAppearance MEMBER selectedWidgetAppearance NOTIFY changed)
    Q_PROPERTY(quorvelle::AudioLevelSnapshot audioLevelSnapshot MEMBER audioLevelSnapshot NOTIFY changed)

public:
    AppStrings strings;
    QString inlineMessage;
    QVariantMap onboardingStatus{{"hasAPIKey", true}, {"isComplete", true}};
    QVariantMap accountCopy{{"hasBackendAuthSessionManager", true},
                            {"accountRequiredTitle", "Sign in required"},
                            {"accountRequiredMessage", "Connect this computer to your Quorvelle account."},
                            {"accountStatusLabel", "Connected"},
                            {"backendAuthChallenge", QVariant::fromValue(nullptr)}};
    QVariantMap localModelCopy{{"runtimeStatusLabel", "Ready (CPU)"}};
    bool isBackendAuthPolling = false;
    bool canCheckForUpdates = true;
    bool showingGroqDisclosureSheet = false;
    bool showingPrivacyDisclosureSheet = false;
    QString selectedTranscriptionBackend = QStringLiteral("cloud");
    QString selectedLocalModelID = QStringLiteral("baseMultilingual");
    HotkeyShortcut selectedHotkey = HotkeyShortcut::suggestions().first();
    QVariantList hotkeySuggestions{QVariant::fromValue(HotkeyShortcut::suggestions()[1]),
                                   QVariant::fromValue(HotkeyShortcut::suggestions()[2])};
    QString selectedRecordingTriggerMode = QStringLiteral("pushToTalk");
    bool isHotkeyMonitoringActive = true;
    bool isLastDictationAutoReplaceEnabled = false;
    bool isClipboardFallbackEnabled = true;
    std::optional<AudioInputDevicePreference> selectedMicrophonePreference;
    QString selectedMicrophoneLabel;
    QString microphoneSelectionMessage = QStringLiteral("System default input is used.");
    SessionState runtimeState;
    std::optional<FocusedTargetSnapshot> focusedTarget;
    QString lastCaptureSummary;
    TranscriptionTelemetrySnapshot transcriptionTelemetry;
    DiagnosticsSnapshot diagnosticsSnapshot = DiagnosticsSnapshot::empty();
    QString selectedDesktopTheme = QStringLiteral("black");
    QString selectedWidgetAppearance = QStringLiteral("currentWidget");
    AudioLevelSnapshot audioLevelSnapshot = AudioLevelSnapshot::silent();

    std::optional<FocusedTargetSnapshot> readFocusedTarget() const { return focusedTarget; }

    bool refuses = false;
    QStringList calls;

    Q_INVOKABLE void reloadSettings() { calls << QStringLiteral("reloadSettings()"); }
    Q_INVOKABLE void startBackendSignIn() { calls << QStringLiteral("startBackendSignIn()"); }
    Q_INVOKABLE void openSignInVerificationPage() { calls << QStringLiteral("openSignInVerificationPage()"); }
    Q_INVOKABLE void checkSignInApproval() { calls << QStringLiteral("checkSignInApproval()"); }
    Q_INVOKABLE void checkForUpdates() { calls << QStringLiteral("checkForUpdates()"); }
    Q_INVOKABLE void setHotkey(const quorvelle::HotkeyShortcut& shortcut) {
        calls << QStringLiteral("setHotkey(%1)").arg(shortcut.displayTitle);
        apply(selectedHotkey, shortcut);
    }
    Q_INVOKABLE void reportHotkeyCaptureUnsupported(const QString& message) {
        calls << QStringLiteral("reportHotkeyCaptureUnsupported(%1)").arg(message);
    }
    Q_INVOKABLE void setRecordingTriggerMode(const QString& mode) {
        calls << QStringLiteral("setRecordingTriggerMode(%1)").arg(mode);
        apply(selectedRecordingTriggerMode, mode);
    }
    Q_INVOKABLE void setLastDictationAutoReplaceEnabled(bool enabled) {
        calls << QStringLiteral("setLastDictationAutoReplaceEnabled(%1)").arg(text(enabled));
        apply(isLastDictationAutoReplaceEnabled, enabled);
    }
    Q_INVOKABLE void setClipboardFallbackEnabled(bool enabled) {
        calls << QStringLiteral("setClipboardFallbackEnabled(%1)").arg(text(enabled));
        apply(isClipboardFallbackEnabled, enabled);
    }
    Q_INVOKABLE void setMicrophonePreference(const QVariant& uid) {
        calls << QStringLiteral("setMicrophonePreference(%1)")
                     .arg(uid.isNull() ? QStringLiteral("none") : uid.toString());
        if (refuses) return;
        selectedMicrophonePreference.reset();
        for (const AudioDeviceInfo& device : diagnosticsSnapshot.audioDevices) {
            if (!uid.isNull() && device.uid == uid.toString())
                selectedMicrophonePreference = AudioInputDevicePreference{device.uid, device.name};
        }
        selectedMicrophoneLabel.clear();
        publish();
    }

    // After changing fields: tells the views.
    void publish() { Q_EMIT changed(); }

Q_SIGNALS:
    void changed();

private:
    static QString text(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

    template <typename T>
    void apply(T& field, const T& value) {
        if (!refuses) field = value;
        // A refusal publishes too, as the view model's message line changes.
        publish();
    }
};

// The shell bridge the popover's buttons call.
class FakeAppShell : public QObject {
    Q_OBJECT

public:
    QStringList calls;
    Q_INVOKABLE void quit() { calls << QStringLiteral("quit()"); }
    Q_INVOKABLE void openDashboard() { calls << QStringLiteral("openDashboard()"); }
};

}  // namespace quorvelle::test
