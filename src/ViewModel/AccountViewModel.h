#pragma once

#include "Support/TaskHandle.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/ReleaseNotesLoadState.h"
#include "ViewModel/ViewModelContext.h"

#include <QObject>

#include <memory>
#include <optional>

namespace quorvelle {

// The backend account (device-code sign-in, sign-out), the update check and the release notes.
class AccountViewModel : public QObject {
    Q_OBJECT

    // A sign-in waiting for approval in the browser.
    Q_PROPERTY(std::optional<quorvelle::BackendAuthDeviceLoginChallenge> backendAuthChallenge READ backendAuthChallenge
                   NOTIFY backendAuthChallengeChanged)
    // An account request (sign-in start, approval check or sign-out) is running.
    Q_PROPERTY(bool isBackendAuthPolling READ isBackendAuthPolling NOTIFY isBackendAuthPollingChanged)
    // This computer's device id in the account; empty when none.
    Q_PROPERTY(
        QString registeredBackendDeviceID READ registeredBackendDeviceIDText NOTIFY registeredBackendDeviceIDChanged)
    // The update check is available.
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
    // The release-notes page's state.
    Q_PROPERTY(
        quorvelle::ReleaseNotesLoadState releaseNotesState READ releaseNotesState NOTIFY releaseNotesStateChanged)

public:
    AccountViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent = nullptr);
    ~AccountViewModel() override;

    const std::optional<BackendAuthDeviceLoginChallenge>& backendAuthChallenge() const {
        return m_backendAuthChallenge;
    }
    bool isBackendAuthPolling() const { return m_isBackendAuthPolling; }
    const std::optional<QString>& registeredBackendDeviceID() const { return m_registeredBackendDeviceID; }
    QString registeredBackendDeviceIDText() const { return m_registeredBackendDeviceID.value_or(QString()); }
    bool canCheckForUpdates() const { return m_canCheckForUpdates; }
    const ReleaseNotesLoadState& releaseNotesState() const { return m_releaseNotesState; }

    bool hasBackendAuthSessionManager() const { return m_backendAuthSessionManager != nullptr; }

    // Reads the stored device id and publishes it; returns whether a whole session (a non-empty
    // access token and device id) is stored. Without a session manager: none, and false.
    bool reloadAccountState();

Q_SIGNALS:
    void backendAuthChallengeChanged();
    void isBackendAuthPollingChanged();
    void registeredBackendDeviceIDChanged();
    void canCheckForUpdatesChanged();
    void releaseNotesStateChanged();

private:
    ViewModelContext& m_context;
    std::shared_ptr<BackendAuthSessionManaging> m_backendAuthSessionManager;
    std::shared_ptr<SystemNavigating> m_systemNavigator;
    std::shared_ptr<SoftwareUpdateChecking> m_softwareUpdateChecker;
    std::shared_ptr<ReleaseNotesFetching> m_releaseNotesFetcher;

    std::optional<BackendAuthDeviceLoginChallenge> m_backendAuthChallenge;
    bool m_isBackendAuthPolling = false;
    std::optional<QString> m_registeredBackendDeviceID;
    bool m_canCheckForUpdates = false;
    ReleaseNotesLoadState m_releaseNotesState;

    TaskHandle m_backendAuthAutoPollTask;
    TaskHandle m_releaseNotesTask;
};

}  // namespace quorvelle
