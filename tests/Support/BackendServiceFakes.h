#pragma once

#include "HeldCalls.h"
#include "Scripted.h"
#include "Services/Backend/BackendAuthSessionManaging.h"
#include "Services/Backend/ReleaseNotesFetching.h"
#include "Services/Backend/SoftwareUpdateChecking.h"

#include <QStringList>

namespace quorvelle::test {

// The account service. Every asynchronous call first passes `held` (so a test can keep it open),
// then answers from its script; a stop request ends it with CancellationError.
class FakeBackendAuthSessionManager final : public BackendAuthSessionManaging {
public:
    QStringList calls;
    HeldCalls held;
    bool storedSession = false;
    bool keyringUnavailable = false;
    std::optional<QString> deviceID;
    Scripted<BackendDeviceLoginPollResult> pollAnswer{
        BackendDeviceLoginPollResult{QStringLiteral("pending"), false, std::nullopt}};
    ScriptedOutcome startOutcome;
    ScriptedOutcome signOutOutcome;

    bool hasStoredSession() const override { return storedSession; }
    std::optional<QString> registeredDeviceID() const override { return deviceID; }
    bool isKeyringUnavailable() const override { return keyringUnavailable; }
    QCoro::Task<BackendAuthDeviceLoginChallenge> startDeviceLogin(std::stop_token stopToken = {}) override {
        calls << QStringLiteral("startDeviceLogin");
        co_await held.pass(stopToken);
        startOutcome.next();
        co_return sampleChallenge();
    }
    QCoro::Task<BackendDeviceLoginPollResult> pollDeviceLogin(BackendAuthDeviceLoginChallenge challenge,
                                                              std::stop_token stopToken = {}) override {
        calls << QStringLiteral("pollDeviceLogin(%1)").arg(challenge.deviceLoginID);
        co_await held.pass(stopToken);
        const BackendDeviceLoginPollResult result = pollAnswer.next();
        if (result.isApproved) {
            storedSession = true;
            deviceID = result.registeredDeviceID;
        }
        co_return result;
    }
    QCoro::Task<void> signOut(std::stop_token stopToken = {}) override {
        calls << QStringLiteral("signOut");
        co_await held.pass(stopToken);
        signOutOutcome.next();
        storedSession = false;
        deviceID.reset();
    }

    static BackendAuthDeviceLoginChallenge sampleChallenge() {
        return {QStringLiteral("login-1"), QStringLiteral("secret-1"), QStringLiteral("ABCD-EFGH"),
                QUrl(QStringLiteral("https://example.test/device")), std::nullopt};
    }
};

class FakeSoftwareUpdateChecker final : public SoftwareUpdateChecking {
public:
    int callCount = 0;
    HeldCalls held;
    bool enabled = true;
    Scripted<SoftwareUpdateCheckResult> answer;

    bool isEnabled() const override { return enabled; }
    QCoro::Task<SoftwareUpdateCheckResult> checkForUpdates(std::stop_token stopToken = {}) override {
        ++callCount;
        co_await held.pass(stopToken);
        co_return answer.next();
    }
};

class FakeReleaseNotesFetcher final : public ReleaseNotesFetching {
public:
    QStringList requestedLanguages;
    HeldCalls held;
    Scripted<QList<ReleaseNoteEntry>> answer;

    QCoro::Task<QList<ReleaseNoteEntry>> fetchReleaseNotes(QString languageCode,
                                                           std::stop_token stopToken = {}) override {
        requestedLanguages << languageCode;
        co_await held.pass(stopToken);
        co_return answer.next();
    }
};

}  // namespace quorvelle::test
