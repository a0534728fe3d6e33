#include "ViewModel/AccountViewModel.h"

#include "ViewModel/Published.h"

namespace quorvelle {

AccountViewModel::AccountViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_backendAuthSessionManager(services.backendAuthSessionManager),
      m_systemNavigator(services.systemNavigator),
      m_softwareUpdateChecker(services.softwareUpdateChecker),
      m_releaseNotesFetcher(services.releaseNotesFetcher),
      m_canCheckForUpdates(m_softwareUpdateChecker->isEnabled()) {
    if (m_backendAuthSessionManager) m_registeredBackendDeviceID = m_backendAuthSessionManager->registeredDeviceID();
}

AccountViewModel::~AccountViewModel() {
    m_backendAuthAutoPollTask.cancel();
    m_releaseNotesTask.cancel();
}

bool AccountViewModel::reloadAccountState() {
    std::optional<QString> deviceID;
    bool hasSession = false;
    if (m_backendAuthSessionManager) {
        deviceID = m_backendAuthSessionManager->registeredDeviceID();
        hasSession = m_backendAuthSessionManager->hasStoredSession();
    }
    publish(this, m_registeredBackendDeviceID, deviceID, &AccountViewModel::registeredBackendDeviceIDChanged);
    return hasSession;
}

}  // namespace quorvelle
