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

void PermissionsViewModel::openMicrophoneSettings() {
    m_systemNavigator->open(SystemDestination::microphoneSettings());
}

void PermissionsViewModel::openAccessibilitySettings() {
    m_systemNavigator->open(SystemDestination::accessibilitySettings());
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

void PermissionsViewModel::requestMicrophonePermission() {
    m_context.tasks().start([this](TaskGuard guard) -> QCoro::Task<void> {
        bool granted = false;
        try {
            granted = co_await m_microphonePermissionController->requestAccess();
        } catch (...) {
            // A request that cannot be asked is a refusal.
        }
        if (!guard) co_return;
        report(PermissionRequestFeedback::microphone(granted ? PermissionState::authorized : PermissionState::denied,
                                                     m_context.strings().languageCode()));
    });
}

void PermissionsViewModel::requestAccessibilityPermission() {
    // Only the check after the prompt counts.
    m_accessibilityPermissionController->promptForTrust();
    const bool trusted = m_accessibilityPermissionController->isTrusted();
    report(PermissionRequestFeedback::accessibility(trusted ? PermissionState::authorized : PermissionState::denied,
                                                    m_context.strings().languageCode()));
}

void PermissionsViewModel::acceptCloudDisclosure() {
    acceptDisclosure(SettingsKeys::acceptedGroqDisclosure,
                     m_context.localized(u"Cloud disclosure accepted.", u"Cloud disclosure onaylandı."));
}

void PermissionsViewModel::acceptPrivacyDisclosure() {
    acceptDisclosure(SettingsKeys::acceptedPrivacyDisclosure,
                     m_context.localized(u"Privacy disclosure accepted.", u"Gizlilik metni onaylandı."));
}

void PermissionsViewModel::report(const PermissionRequestFeedback& feedback) {
    m_context.setInlineMessage(feedback.message);
    m_context.recordEvent(feedback.diagnosticsLevel, feedback.diagnosticsCode, feedback.diagnosticsMessage);
    Q_EMIT settingsReloadRequested();
}

void PermissionsViewModel::acceptDisclosure(const char* key, const QString& message) {
    m_settingsStore->userDefaults()->setBool(QString::fromLatin1(key), true);
    m_context.setInlineMessage(message);
    Q_EMIT settingsReloadRequested();
}

}  // namespace quorvelle
