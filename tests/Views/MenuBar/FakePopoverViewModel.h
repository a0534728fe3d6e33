#pragma once

#include "Models/AppStrings.h"
#include "Models/AudioInputDevicePreference.h"
#include "Models/AudioLevelSnapshot.h"
#include "Models/DiagnosticsSnapshot.h"
#include "Models/HotkeyShortcut.h"
#include "Models/SessionState.h"
#include "Models/TranscriptionTelemetrySnapshot.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <QQmlPropertyMap>
#include <QStringList>

#include <optional>

namespace quorvelle::test {

// The view model as the popover reads it: the view model's own names as keys (the adapter's property
// names), each key notifying on change. Every operation is logged as "name(argument)"; with
// `refuses` set the setters change nothing, as a view model that refuses the value.
class FakePopoverViewModel : public QQmlPropertyMap {
    Q_OBJECT

public:
    FakePopoverViewModel() : QQmlPropertyMap(this, nullptr) {
        const QList<HotkeyShortcut> presets = HotkeyShortcut::suggestions();
        const std::map<QString, QVariant> values{
            {"strings", QVariant::fromValue(AppStrings())},
            {"inlineMessage", ""},
            {"onboardingStatus", QVariantMap{{"hasAPIKey", true}, {"isComplete", true}}},
            {"accountCopy", QVariantMap{{"hasBackendAuthSessionManager", true},
                                        {"accountRequiredTitle", "Sign in required"},
                                        {"accountRequiredMessage", "Connect this computer to your account."},
                                        {"accountStatusLabel", "Connected"},
                                        {"backendAuthChallenge", QVariant::fromValue(nullptr)}}},
            {"localModelCopy", QVariantMap{{"runtimeStatusLabel", "Ready (CPU)"}}},
            {"isBackendAuthPolling", false},
            {"canCheckForUpdates", true},
            {"showingGroqDisclosureSheet", false},
            {"showingPrivacyDisclosureSheet", false},
            {"selectedTranscriptionBackend", "cloud"},
            {"selectedLocalModelID", "baseMultilingual"},
            {"selectedHotkey", QVariant::fromValue(presets[0])},
            {"hotkeySuggestions", QVariantList{QVariant::fromValue(presets[1]), QVariant::fromValue(presets[2])}},
            {"selectedRecordingTriggerMode", "pushToTalk"},
            {"isHotkeyMonitoringActive", true},
            {"isLastDictationAutoReplaceEnabled", false},
            {"isClipboardFallbackEnabled", true},
            {"selectedMicrophonePreference", QVariant::fromValue(std::optional<AudioInputDevicePreference>())},
            {"selectedMicrophoneLabel", ""},
            {"microphoneSelectionMessage", "System default input is used."},
            {"runtimeState", QVariant::fromValue(SessionState())},
            {"focusedTarget", QVariant::fromValue(std::optional<FocusedTargetSnapshot>())},
            {"lastCaptureSummary", ""},
            {"transcriptionTelemetry", QVariant::fromValue(TranscriptionTelemetrySnapshot())},
            {"diagnosticsSnapshot", QVariant::fromValue(DiagnosticsSnapshot::empty())},
            {"selectedDesktopTheme", "black"},
            {"selectedWidgetAppearance", "currentWidget"},
            {"audioLevelSnapshot", QVariant::fromValue(AudioLevelSnapshot::silent())},
        };
        for (const auto& [key, value] : values)
            insert(key, value);
    }

    // Sets one field of a map value, such as the account copy's challenge.
    void patch(const QString& key, const QString& field, const QVariant& value) {
        QVariantMap map = this->value(key).toMap();
        map[field] = value;
        insert(key, map);
    }

    bool refuses = false;
    QStringList calls;

    Q_INVOKABLE void reloadSettings() { calls << "reloadSettings()"; }
    Q_INVOKABLE void startBackendSignIn() { calls << "startBackendSignIn()"; }
    Q_INVOKABLE void openSignInVerificationPage() { calls << "openSignInVerificationPage()"; }
    Q_INVOKABLE void checkSignInApproval() { calls << "checkSignInApproval()"; }
    Q_INVOKABLE void checkForUpdates() { calls << "checkForUpdates()"; }
    Q_INVOKABLE void setHotkey(const quorvelle::HotkeyShortcut& shortcut) {
        apply("setHotkey", shortcut.displayTitle, "selectedHotkey", QVariant::fromValue(shortcut));
    }
    Q_INVOKABLE void reportHotkeyCaptureUnsupported(const QString& message) {
        calls << "reportHotkeyCaptureUnsupported(" + message + ")";
    }
    Q_INVOKABLE void setRecordingTriggerMode(const QString& mode) {
        apply("setRecordingTriggerMode", mode, "selectedRecordingTriggerMode", mode);
    }
    Q_INVOKABLE void setLastDictationAutoReplaceEnabled(bool enabled) {
        apply("setLastDictationAutoReplaceEnabled", enabled ? "true" : "false", "isLastDictationAutoReplaceEnabled",
              enabled);
    }
    Q_INVOKABLE void setClipboardFallbackEnabled(bool enabled) {
        apply("setClipboardFallbackEnabled", enabled ? "true" : "false", "isClipboardFallbackEnabled", enabled);
    }
    Q_INVOKABLE void setMicrophonePreference(const QVariant& uid) {
        std::optional<AudioInputDevicePreference> chosen;
        if (!uid.isNull()) chosen = AudioInputDevicePreference{uid.toString(), uid.toString()};
        apply("setMicrophonePreference", uid.isNull() ? "none" : uid.toString(), "selectedMicrophonePreference",
              QVariant::fromValue(chosen));
        if (!refuses) insert("selectedMicrophoneLabel", "");
    }

private:
    void apply(const QString& operation, const QString& argument, const QString& key, const QVariant& value) {
        calls << operation + "(" + argument + ")";
        if (!refuses) insert(key, value);
    }
};

// The shell bridge the popover's buttons call.
class FakeAppShell : public QObject {
    Q_OBJECT

public:
    QStringList calls;
    Q_INVOKABLE void quit() { calls << "quit()"; }
    Q_INVOKABLE void openDashboard() { calls << "openDashboard()"; }
};

}  // namespace quorvelle::test
