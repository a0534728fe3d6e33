#pragma once

#include "Models/OnboardingStatus.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/PermissionRequestFeedback.h"
#include "ViewModel/ViewModelContext.h"

#include <QObject>

#include <memory>

namespace quorvelle {

// Permissions, disclosures and the readiness record of the first-run screen.
class PermissionsViewModel : public QObject {
    Q_OBJECT

    // Permissions, account, disclosures and backend readiness in one record.
    Q_PROPERTY(quorvelle::OnboardingStatus onboardingStatus READ onboardingStatus NOTIFY onboardingStatusChanged)
    // The cloud provider's disclosure sheet is shown; the views set and clear it.
    Q_PROPERTY(bool showingGroqDisclosureSheet READ showingGroqDisclosureSheet WRITE setShowingGroqDisclosureSheet
                   NOTIFY showingGroqDisclosureSheetChanged)
    // The privacy disclosure sheet is shown; the views set and clear it.
    Q_PROPERTY(bool showingPrivacyDisclosureSheet READ showingPrivacyDisclosureSheet WRITE
                   setShowingPrivacyDisclosureSheet NOTIFY showingPrivacyDisclosureSheetChanged)

public:
    PermissionsViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent = nullptr);

    const OnboardingStatus& onboardingStatus() const { return m_onboardingStatus; }
    bool showingGroqDisclosureSheet() const { return m_showingGroqDisclosureSheet; }
    void setShowingGroqDisclosureSheet(bool showing);
    bool showingPrivacyDisclosureSheet() const { return m_showingPrivacyDisclosureSheet; }
    void setShowingPrivacyDisclosureSheet(bool showing);

    // Reads the permissions (microphone, then accessibility) and the two disclosures, and
    // publishes the record with the account and backend facts given.
    void reloadOnboardingStatus(bool hasStoredSession, TranscriptionBackend backend, bool isLocalSetupReady);

    // Each reports its outcome in the status line and ends with a settings reload. The two
    // requests also log an event; a refusal is a warning, never an error.
    // Runs as a job of the view model: the answer may take the user a while.
    Q_INVOKABLE void requestMicrophonePermission();
    Q_INVOKABLE void requestAccessibilityPermission();
    Q_INVOKABLE void acceptCloudDisclosure();
    Q_INVOKABLE void acceptPrivacyDisclosure();
    // Take the user to the desktop's settings page of the permission; the navigator says when none
    // can be opened.
    Q_INVOKABLE void openMicrophoneSettings();
    Q_INVOKABLE void openAccessibilitySettings();

Q_SIGNALS:
    void onboardingStatusChanged();
    void showingGroqDisclosureSheetChanged();
    void showingPrivacyDisclosureSheetChanged();
    // Every stored value and permission must be read again.
    void settingsReloadRequested();

private:
    void report(const PermissionRequestFeedback& feedback);
    void acceptDisclosure(const char* key, const QString& message);

    ViewModelContext& m_context;
    std::shared_ptr<SettingsStore> m_settingsStore;
    std::shared_ptr<MicrophonePermissionControlling> m_microphonePermissionController;
    std::shared_ptr<AccessibilityPermissionControlling> m_accessibilityPermissionController;
    std::shared_ptr<SystemNavigating> m_systemNavigator;

    OnboardingStatus m_onboardingStatus;
    bool m_showingGroqDisclosureSheet = false;
    bool m_showingPrivacyDisclosureSheet = false;
};

}  // namespace quorvelle
