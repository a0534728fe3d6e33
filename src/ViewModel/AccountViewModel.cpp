#include "ViewModel/AccountViewModel.h"

#include "App/AppConfiguration.h"
#include "Services/Backend/ReleaseNotesFetching.h"
#include "Services/Backend/SoftwareUpdateChecking.h"
#include "Services/System/SystemNavigating.h"
#include "Support/CancellationError.h"
#include "ViewModel/BackendAuthMessages.h"
#include "ViewModel/Published.h"

namespace quorvelle {

namespace messages = backend_auth_messages;

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
    if (m_backendAuthSessionManager) deviceID = m_backendAuthSessionManager->registeredDeviceID();
    publish(this, m_registeredBackendDeviceID, deviceID, &AccountViewModel::registeredBackendDeviceIDChanged);
    m_hasStoredSession = restoreBackendSession(m_backendAuthSessionManager.get(), deviceID);
    // Only asked when no session shows: the answer tells why.
    m_keyringUnavailable =
        !m_hasStoredSession && m_backendAuthSessionManager && m_backendAuthSessionManager->isKeyringUnavailable();
    return m_hasStoredSession;
}

bool AccountViewModel::restoreBackendSession(const BackendAuthSessionManaging* sessionManager,
                                             const std::optional<QString>& registeredDeviceID) {
    return sessionManager && sessionManager->hasStoredSession() && registeredDeviceID && !registeredDeviceID->isEmpty();
}

std::optional<QString> AccountViewModel::backendAuthVerificationURLText() const {
    if (!m_backendAuthChallenge) return std::nullopt;
    return m_backendAuthChallenge->verificationURL.toString();
}

AccountCopy AccountViewModel::accountCopy(TranscriptionBackend selectedTranscriptionBackend) const {
    return AccountCopy{m_context.strings(),          m_hasStoredSession,
                       selectedTranscriptionBackend, hasBackendAuthSessionManager(),
                       m_backendAuthChallenge,       m_registeredBackendDeviceID,
                       m_keyringUnavailable};
}

void AccountViewModel::setChallenge(std::optional<Challenge> challenge) {
    publish(this, m_backendAuthChallenge, std::move(challenge), &AccountViewModel::backendAuthChallengeChanged);
}

void AccountViewModel::setPolling(bool polling) {
    publish(this, m_isBackendAuthPolling, polling, &AccountViewModel::isBackendAuthPollingChanged);
}

void AccountViewModel::setActionRunning(bool running) {
    publish(this, m_isBackendAuthActionRunning, running, &AccountViewModel::isBackendAuthActionRunningChanged);
}

QString AccountViewModel::backendBaseURLText() const {
    return AppConfiguration::current().backendBaseURLString();
}

// Sign-in and sign-out.

void AccountViewModel::showSignInNotEnabled() {
    m_context.setInlineMessage(m_context.localized(u"Backend account sign-in is not enabled in this build.",
                                                   u"Backend hesap girişi bu yapıda etkin değil."));
}

void AccountViewModel::showStartSignInFirst() {
    m_context.setInlineMessage(
        m_context.localized(u"Start Quorvelle account sign-in first.", u"Önce Quorvelle hesap girişini başlatın."));
}

void AccountViewModel::launchBackendAccountTask(std::function<QCoro::Task<void>(TaskGuard, Manager)> body) {
    if (!m_backendAuthSessionManager) {
        showSignInNotEnabled();
        return;
    }
    setPolling(true);
    setActionRunning(true);
    m_context.tasks().start([body = std::move(body), manager = m_backendAuthSessionManager](TaskGuard guard) {
        return body(std::move(guard), manager);
    });
}

void AccountViewModel::startBackendSignIn() {
    // A second login would leave the page already opened approving a code nobody polls for.
    if (m_isStartingSignIn) return;
    if (isSignInWaiting()) {
        openSignInVerificationPage();
        return;
    }
    if (m_backendAuthSessionManager) m_isStartingSignIn = true;
    launchBackendAccountTask(
        [this](TaskGuard guard, Manager manager) { return beginDeviceLogin(std::move(guard), std::move(manager)); });
}

void AccountViewModel::signOutBackendAccount() {
    launchBackendAccountTask(
        [this](TaskGuard guard, Manager manager) { return signOut(std::move(guard), std::move(manager)); });
}

void AccountViewModel::finishAccountRequest(bool byUser) {
    setPolling(false);
    if (byUser) setActionRunning(false);
    m_context.refreshDiagnosticsSnapshot();
}

QCoro::Task<void> AccountViewModel::beginDeviceLogin(TaskGuard guard, Manager sessionManager) {
    std::optional<Challenge> challenge;
    std::exception_ptr failure;
    try {
        challenge = co_await sessionManager->startDeviceLogin(guard.stopToken);
    } catch (const CancellationError&) {
        throw;
    } catch (...) {
        failure = std::current_exception();
    }
    if (!guard) co_return;
    m_isStartingSignIn = false;
    if (challenge) {
        setChallenge(challenge);
        m_context.setInlineMessage(messages::signInStarted(m_context.strings(), challenge->userCode));
        m_systemNavigator->open(SystemDestination::address(challenge->verificationURL));
        startBackendAuthAutoPoll(*challenge);
    } else {
        const QString message = messages::error(m_context.strings(),
                                                m_context.localized(u"Quorvelle account sign-in could not be started",
                                                                    u"Quorvelle hesap girişi başlatılamadı"),
                                                failure, backendBaseURLText());
        m_context.setInlineMessage(message);
        m_context.recordEvent(DiagnosticsEventLevel::error, QStringLiteral("settings.backend_auth.start_failed"),
                              message);
    }
    finishAccountRequest(true);
}

QCoro::Task<void> AccountViewModel::signOut(TaskGuard guard, Manager sessionManager) {
    m_backendAuthAutoPollTask.cancel();
    bool cleared = true;
    try {
        // The manager revokes the session on the backend as a courtesy: offline, the local sign-out still happens.
        co_await sessionManager->signOut(guard.stopToken);
    } catch (const CancellationError&) {
        throw;
    } catch (...) {
        cleared = false;
    }
    if (!guard) co_return;
    if (cleared) {
        setChallenge(std::nullopt);
        publish(this, m_registeredBackendDeviceID, std::nullopt, &AccountViewModel::registeredBackendDeviceIDChanged);
        m_context.setInlineMessage(
            m_context.localized(u"Signed out of Quorvelle account.", u"Quorvelle hesabı çıkışı yapıldı."));
        m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.backend_auth.logout"),
                              QStringLiteral("Quorvelle hesabi cikisi yapildi."));
        m_context.reloadSettings();
    } else {
        m_context.setInlineMessage(
            m_context.localized(u"Quorvelle account sign-out failed.", u"Quorvelle hesabı çıkışı yapılamadı."));
        m_context.recordEvent(DiagnosticsEventLevel::error, QStringLiteral("settings.backend_auth.logout_failed"),
                              QStringLiteral("Quorvelle hesabi cikisi yapilamadi."));
    }
    finishAccountRequest(true);
}

// Polling.

bool AccountViewModel::isPending(const Challenge& challenge) const {
    return m_backendAuthChallenge && m_backendAuthChallenge->deviceLoginID == challenge.deviceLoginID &&
           !m_hasStoredSession;
}

bool AccountViewModel::isSignInWaiting() const {
    // Once the polling gave up (its limit, a failed poll) the code may be dead: a new one is wanted.
    return m_backendAuthChallenge && m_backendAuthAutoPollTask.isRunning();
}

void AccountViewModel::startBackendAuthAutoPoll(const Challenge& challenge) {
    if (!m_backendAuthSessionManager) return;
    m_backendAuthAutoPollTask.cancel();
    m_backendAuthAutoPollTask =
        m_context.tasks().start([this, manager = m_backendAuthSessionManager, challenge](TaskGuard guard) {
            return runBackendAuthAutoPoll(std::move(guard), manager, challenge);
        });
}

QCoro::Task<void> AccountViewModel::runBackendAuthAutoPoll(TaskGuard guard, Manager sessionManager,
                                                           Challenge challenge) {
    const ViewModelEnvironment& environment = m_context.environment();
    int attempts = 0;
    while (guard && isPending(challenge)) {
        co_await environment.backendAuthPollSleep(environment.backendAuthPollIntervalSeconds, guard.stopToken);
        if (!guard || !isPending(challenge)) co_return;
        if (!co_await handleBackendAuthPollResult(guard, sessionManager, challenge, false)) co_return;
        if (!guard) co_return;
        if (++attempts >= environment.backendAuthPollAttemptLimit) {
            if (m_backendAuthChallenge && m_backendAuthChallenge->deviceLoginID == challenge.deviceLoginID)
                m_context.setInlineMessage(
                    m_context.localized(u"Quorvelle account sign-in timed out. Try again.",
                                        u"Quorvelle hesap girişi zaman aşımına uğradı. Tekrar deneyin."));
            co_return;
        }
    }
}

void AccountViewModel::checkSignInApproval() {
    if (!m_backendAuthSessionManager) {
        showSignInNotEnabled();
        return;
    }
    if (!m_backendAuthChallenge) {
        showStartSignInFirst();
        return;
    }
    setActionRunning(true);
    m_context.tasks().start([this, manager = m_backendAuthSessionManager,
                             challenge = *m_backendAuthChallenge](TaskGuard guard) -> QCoro::Task<void> {
        co_await handleBackendAuthPollResult(std::move(guard), manager, challenge, true);
    });
}

void AccountViewModel::openSignInVerificationPage() {
    if (!m_backendAuthChallenge) {
        showStartSignInFirst();
        return;
    }
    m_systemNavigator->open(SystemDestination::address(m_backendAuthChallenge->verificationURL));
}

QCoro::Task<bool> AccountViewModel::handleBackendAuthPollResult(TaskGuard guard, Manager sessionManager,
                                                                Challenge challenge, bool isManualCheck) {
    setPolling(true);
    std::optional<BackendDeviceLoginPollResult> outcome;
    std::exception_ptr failure;
    try {
        outcome = co_await sessionManager->pollDeviceLogin(challenge, guard.stopToken);
    } catch (const CancellationError&) {
        throw;
    } catch (...) {
        failure = std::current_exception();
    }
    if (!guard) co_return false;
    bool keepPolling = false;
    const QString failedPrefix = m_context.localized(u"Quorvelle account sign-in could not be checked",
                                                     u"Quorvelle hesap girişi kontrol edilemedi");
    if (!isPending(challenge)) {
        // An overlapping check already settled this sign-in (or a newer one replaced it): a late
        // "consumed" or error reply must not overwrite that outcome.
    } else if (failure) {
        const QString message = messages::error(m_context.strings(), failedPrefix, failure, backendBaseURLText());
        m_context.setInlineMessage(message);
        m_context.recordEvent(DiagnosticsEventLevel::error, QStringLiteral("settings.backend_auth.poll_failed"),
                              message);
    } else if (outcome->isApproved) {
        m_backendAuthAutoPollTask.cancel();
        setChallenge(std::nullopt);
        const std::optional<QString> deviceID =
            outcome->registeredDeviceID ? outcome->registeredDeviceID : sessionManager->registeredDeviceID();
        publish(this, m_registeredBackendDeviceID, deviceID, &AccountViewModel::registeredBackendDeviceIDChanged);
        m_context.reloadSettings();
        if (m_hasStoredSession) {
            m_context.setInlineMessage(
                m_context.localized(u"Quorvelle account connected and this computer was registered.",
                                    u"Quorvelle hesabı bağlandı ve bu bilgisayar kaydedildi."));
            m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.backend_auth.approved"),
                                  QStringLiteral("Quorvelle hesabi baglandi."));
        } else {
            // Approved on the web, yet nothing usable was stored here: the user is still signed out.
            const QString message = failedPrefix + QLatin1Char('.');
            m_context.setInlineMessage(message);
            m_context.recordEvent(DiagnosticsEventLevel::error, QStringLiteral("settings.backend_auth.poll_failed"),
                                  message);
        }
    } else if (outcome->status == QLatin1String("expired") || outcome->status == QLatin1String("consumed")) {
        setChallenge(std::nullopt);
        m_context.setInlineMessage(m_context.localized(u"Quorvelle account sign-in expired. Start again.",
                                                       u"Quorvelle hesap girişi süresi doldu. Tekrar başlatın."));
    } else {
        if (isManualCheck) m_context.setInlineMessage(messages::signInPending(m_context.strings(), outcome->status));
        keepPolling = true;
    }
    finishAccountRequest(isManualCheck);
    co_return keepPolling;
}

// Updates and release notes.

void AccountViewModel::checkForUpdates() {
    publish(this, m_canCheckForUpdates, m_softwareUpdateChecker->isEnabled(),
            &AccountViewModel::canCheckForUpdatesChanged);
    if (!m_canCheckForUpdates) {
        m_context.setInlineMessage(m_context.localized(u"Update check is not available right now.",
                                                       u"Güncelleme kontrolü şu anda kullanılamıyor."));
        return;
    }
    m_context.setInlineMessage(m_context.localized(u"Checking for updates...", u"Güncellemeler kontrol ediliyor..."));
    m_context.tasks().start([this](TaskGuard guard) { return runUpdateCheck(std::move(guard)); });
}

QCoro::Task<void> AccountViewModel::runUpdateCheck(TaskGuard guard) {
    const std::shared_ptr<SoftwareUpdateChecking> checker = m_softwareUpdateChecker;
    std::optional<SoftwareUpdateCheckResult> result;
    try {
        result = co_await checker->checkForUpdates(guard.stopToken);
    } catch (const CancellationError&) {
        throw;
    } catch (...) {
    }
    if (!guard) co_return;
    publish(this, m_canCheckForUpdates, checker->isEnabled(), &AccountViewModel::canCheckForUpdatesChanged);
    if (!result) {
        m_context.setInlineMessage(
            m_context.localized(u"Could not check for updates. Open the download page to check manually.",
                                u"Güncelleme kontrol edilemedi. Manuel kontrol için indirme sayfasını açın."));
    } else if (result->status == SoftwareUpdateCheckResult::Status::upToDate) {
        m_context.setInlineMessage(m_context.localized(u"Quorvelle is up to date.", u"Quorvelle güncel."));
    } else {
        m_systemNavigator->open(SystemDestination::address(result->releasePageURL));
        m_context.setInlineMessage(QStringLiteral("Quorvelle ") + result->latestVersion +
                                   m_context.localized(u" is available. Opening the download page...",
                                                       u" mevcut. İndirme sayfası açılıyor..."));
    }
}

void AccountViewModel::reloadReleaseNotes() {
    m_releaseNotesTask.cancel();
    publish(this, m_releaseNotesState, ReleaseNotesLoadState::loading(), &AccountViewModel::releaseNotesStateChanged);
    m_releaseNotesTask =
        m_context.tasks().start([this, languageCode = m_context.strings().languageCode()](TaskGuard guard) {
            return loadReleaseNotes(std::move(guard), languageCode);
        });
}

void AccountViewModel::reloadLoadedReleaseNotes() {
    if (m_releaseNotesState.kind == ReleaseNotesLoadState::Kind::loaded) reloadReleaseNotes();
}

QCoro::Task<void> AccountViewModel::loadReleaseNotes(TaskGuard guard, QString languageCode) {
    const std::shared_ptr<ReleaseNotesFetching> fetcher = m_releaseNotesFetcher;
    ReleaseNotesLoadState state = ReleaseNotesLoadState::failed();
    try {
        state = ReleaseNotesLoadState::loaded(co_await fetcher->fetchReleaseNotes(languageCode, guard.stopToken));
    } catch (const CancellationError&) {
        throw;
    } catch (...) {
    }
    // A superseded load may still finish; only the current one writes.
    if (!guard) co_return;
    publish(this, m_releaseNotesState, std::move(state), &AccountViewModel::releaseNotesStateChanged);
}

void AccountViewModel::openReleaseNotesWebPage() {
    QUrl address;
    try {
        address = AppConfiguration::current().publicWebURL();
    } catch (const AppConfigurationError&) {
        address = QUrl(AppConfiguration::productionPublicWebURL());
    }
    QString path = address.path();
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    address.setPath(path + QStringLiteral("release-notes"));
    m_systemNavigator->open(SystemDestination::address(address));
}

}  // namespace quorvelle
