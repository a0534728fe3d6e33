#include "ViewModel/PermissionsViewModel.h"

#include "ViewModel/Published.h"

namespace quorvelle {

PermissionsViewModel::PermissionsViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_settingsStore(services.settingsStore),
      m_microphonePermissionController(services.microphonePermissionController),
      m_accessibilityPermissionController(services.accessibilityPermissionController),
      m_systemNavigator(services.systemNavigator) {}

void PermissionsViewModel::setShowingGroqDisclosureSheet(bool showing) {
    publish(this, m_showingGroqDisclosureSheet, showing, &PermissionsViewModel::showingGroqDisclosureSheetChanged);
}

void PermissionsViewModel::setShowingPrivacyDisclosureSheet(bool showing) {
    publish(this, m_showingPrivacyDisclosureSheet, showing,
            &PermissionsViewModel::showingPrivacyDisclosureSheetChanged);
}

void PermissionsViewModel::reloadOnboardingStatus(bool hasStoredSession, TranscriptionBackend backend,
                                                  bool isLocalSetupReady) {
    OnboardingStatus status;
    status.microphonePermission = m_microphonePermissionController->authorizationStatus();
    // Trust is yes or no; the permission is never "not determined" once read.
    status.accessibilityPermission =
        m_accessibilityPermissionController->isTrusted() ? PermissionState::authorized : PermissionState::denied;
    status.hasAPIKey = hasStoredSession;
    const UserDefaults& defaults = *m_settingsStore->userDefaults();
    status.hasAcceptedGroqDisclosure = defaults.boolean(QString::fromLatin1(SettingsKeys::acceptedGroqDisclosure));
    status.hasAcceptedPrivacyDisclosure =
        defaults.boolean(QString::fromLatin1(SettingsKeys::acceptedPrivacyDisclosure));
    status.selectedTranscriptionBackend = backend;
    status.isLocalSetupReady = isLocalSetupReady;
    publish(this, m_onboardingStatus, status, &PermissionsViewModel::onboardingStatusChanged);
}

}  // namespace quorvelle
