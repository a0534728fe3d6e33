#pragma once

#include "Support/TaskHandle.h"
#include "Support/TaskScope.h"
#include "ViewModel/AccountCopy.h"
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
    Q_PROPERTY(QVariant backendAuthChallenge READ backendAuthChallengeValue NOTIFY backendAuthChallengeChanged)
    // An account request (sign-in start, approval check or sign-out) is running.
    Q_PROPERTY(bool isBackendAuthPolling READ isBackendAuthPolling NOTIFY isBackendAuthPollingChanged)
    // An account request the user asked for is running: a sign-in start, a check from its button or a
    // sign-out. The automatic approval polls are left out: they change nothing the user sees, so the
    // controls (and the keyboard focus on one) stay still while a sign-in waits.
    Q_PROPERTY(bool isBackendAuthActionRunning READ isBackendAuthActionRunning NOTIFY isBackendAuthActionRunningChanged)
    // This computer's device id in the account; null when none.
    Q_PROPERTY(
        QVariant registeredBackendDeviceID READ registeredBackendDeviceIDValue NOTIFY registeredBackendDeviceIDChanged)
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
    bool isBackendAuthActionRunning() const { return m_isBackendAuthActionRunning; }
    const std::optional<QString>& registeredBackendDeviceID() const { return m_registeredBackendDeviceID; }
    QString registeredBackendDeviceIDText() const { return m_registeredBackendDeviceID.value_or(QString()); }
    // The views' face of the optional values: null when absent.
    QVariant backendAuthChallengeValue() const { return optionalValue(m_backendAuthChallenge); }
    QVariant registeredBackendDeviceIDValue() const { return optionalValue(m_registeredBackendDeviceID); }
    bool canCheckForUpdates() const { return m_canCheckForUpdates; }
    const ReleaseNotesLoadState& releaseNotesState() const { return m_releaseNotesState; }

    bool hasBackendAuthSessionManager() const { return m_backendAuthSessionManager != nullptr; }

    // Reads the stored device id and publishes it; returns whether a whole session (a non-empty
    // access token and device id) is stored. Without a session manager: none, and false.
    bool reloadAccountState();
    // A non-empty access token and the given device id, non-empty, are stored.
    static bool restoreBackendSession(const BackendAuthSessionManaging* sessionManager,
                                      const std::optional<QString>& registeredDeviceID);

    // Asks the backend for a device login, opens its verification page and polls until it ends.
    // While a sign-in waits (its start under way, or its code still polled for) it starts none: it
    // opens the waiting one's page again, so the page the user approves is the one that signs in.
    Q_INVOKABLE void startBackendSignIn();
    Q_INVOKABLE void openSignInVerificationPage();
    // One poll now, beside the automatic ones.
    Q_INVOKABLE void checkSignInApproval();
    Q_INVOKABLE void signOutBackendAccount();
    // The pending challenge's verification address; none without a challenge.
    std::optional<QString> backendAuthVerificationURLText() const;
    // The account texts for the given engine choice.
    AccountCopy accountCopy(TranscriptionBackend selectedTranscriptionBackend) const;

    Q_INVOKABLE void checkForUpdates();
    // Loads the release notes in the interface language, replacing a load that still runs.
    Q_INVOKABLE void reloadReleaseNotes();
    // Release notes already shown are fetched again in the new interface language; none are fetched
    // when none were shown.
    void reloadLoadedReleaseNotes();
    Q_INVOKABLE void openReleaseNotesWebPage();

Q_SIGNALS:
    void backendAuthChallengeChanged();
    void isBackendAuthPollingChanged();
    void isBackendAuthActionRunningChanged();
    void registeredBackendDeviceIDChanged();
    void canCheckForUpdatesChanged();
    void releaseNotesStateChanged();

private:
    using Manager = std::shared_ptr<BackendAuthSessionManaging>;
    using Challenge = BackendAuthDeviceLoginChallenge;

    // Without a session manager: the not-enabled message, and no task.
    void launchBackendAccountTask(std::function<QCoro::Task<void>(TaskGuard, Manager)> body);
    QCoro::Task<void> beginDeviceLogin(TaskGuard guard, Manager sessionManager);
    QCoro::Task<void> signOut(TaskGuard guard, Manager sessionManager);
    void startBackendAuthAutoPoll(const Challenge& challenge);
    QCoro::Task<void> runBackendAuthAutoPoll(TaskGuard guard, Manager sessionManager, Challenge challenge);
    // One poll; true while the sign-in is still pending.
    QCoro::Task<bool> handleBackendAuthPollResult(TaskGuard guard, Manager sessionManager, Challenge challenge,
                                                  bool isManualCheck);
    // This challenge is the one pending and no session is stored yet.
    bool isPending(const Challenge& challenge) const;
    // The pending challenge is still polled for.
    bool isSignInWaiting() const;
    // `byUser`: the request was the user's own (not an automatic poll).
    void finishAccountRequest(bool byUser);
    void showSignInNotEnabled();
    void showStartSignInFirst();
    QString backendBaseURLText() const;
    QCoro::Task<void> loadReleaseNotes(TaskGuard guard, QString languageCode);
    QCoro::Task<void> runUpdateCheck(TaskGuard guard);
    void setChallenge(std::optional<Challenge> challenge);
    void setPolling(bool polling);
    void setActionRunning(bool running);

    ViewModelContext& m_context;
    std::shared_ptr<BackendAuthSessionManaging> m_backendAuthSessionManager;
    std::shared_ptr<SystemNavigating> m_systemNavigator;
    std::shared_ptr<SoftwareUpdateChecking> m_softwareUpdateChecker;
    std::shared_ptr<ReleaseNotesFetching> m_releaseNotesFetcher;

    std::optional<BackendAuthDeviceLoginChallenge> m_backendAuthChallenge;
    bool m_isBackendAuthPolling = false;
    bool m_isBackendAuthActionRunning = false;
    // A sign-in start request is out.
    bool m_isStartingSignIn = false;
    std::optional<QString> m_registeredBackendDeviceID;
    bool m_canCheckForUpdates = false;
    ReleaseNotesLoadState m_releaseNotesState;
    bool m_hasStoredSession = false;
    bool m_keyringUnavailable = false;

    TaskHandle m_backendAuthAutoPollTask;
    TaskHandle m_releaseNotesTask;
};

}  // namespace quorvelle
