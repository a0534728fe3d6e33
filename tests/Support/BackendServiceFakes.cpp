#include "BackendServiceFakes.h"

namespace quorvelle::test {

BackendAuthDeviceLoginChallenge FakeBackendAuthSessionManager::sampleChallenge() {
    return {QStringLiteral("login-1"), QStringLiteral("secret-1"), QStringLiteral("ABCD-EFGH"),
            QUrl(QStringLiteral("https://example.test/device")), std::nullopt};
}

QCoro::Task<BackendAuthDeviceLoginChallenge> FakeBackendAuthSessionManager::startDeviceLogin(
    std::stop_token stopToken) {
    calls << QStringLiteral("startDeviceLogin");
    co_await held.pass(stopToken);
    co_return startAnswer.next();
}

QCoro::Task<BackendDeviceLoginPollResult> FakeBackendAuthSessionManager::pollDeviceLogin(
    BackendAuthDeviceLoginChallenge challenge, std::stop_token stopToken) {
    calls << QStringLiteral("pollDeviceLogin(%1)").arg(challenge.deviceLoginID);
    co_await held.pass(stopToken);
    const BackendDeviceLoginPollResult result = pollAnswer.next();
    if (result.isApproved) {
        storedSession = true;
        deviceID = result.registeredDeviceID;
    }
    co_return result;
}

QCoro::Task<void> FakeBackendAuthSessionManager::signOut(std::stop_token stopToken) {
    calls << QStringLiteral("signOut");
    co_await held.pass(stopToken);
    signOutOutcome.next();
    storedSession = false;
    deviceID.reset();
}

QCoro::Task<SoftwareUpdateCheckResult> FakeSoftwareUpdateChecker::checkForUpdates(std::stop_token stopToken) {
    ++callCount;
    co_await held.pass(stopToken);
    co_return answer.next();
}

QCoro::Task<QList<ReleaseNoteEntry>> FakeReleaseNotesFetcher::fetchReleaseNotes(QString languageCode,
                                                                                std::stop_token stopToken) {
    requestedLanguages << languageCode;
    co_await held.pass(stopToken);
    co_return answer.next();
}

}  // namespace quorvelle::test
