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
    std::optional<QString> deviceID;
    Scripted<BackendAuthDeviceLoginChallenge> startAnswer{sampleChallenge()};
    Scripted<BackendDeviceLoginPollResult> pollAnswer{
        BackendDeviceLoginPollResult{QStringLiteral("pending"), false, std::nullopt}};
    ScriptedOutcome signOutOutcome;

    bool hasStoredSession() const override { return storedSession; }
    std::optional<QString> registeredDeviceID() const override { return deviceID; }
    QCoro::Task<BackendAuthDeviceLoginChallenge> startDeviceLogin(std::stop_token stopToken = {}) override;
    QCoro::Task<BackendDeviceLoginPollResult> pollDeviceLogin(BackendAuthDeviceLoginChallenge challenge,
                                                              std::stop_token stopToken = {}) override;
    QCoro::Task<void> signOut(std::stop_token stopToken = {}) override;

    static BackendAuthDeviceLoginChallenge sampleChallenge();
};

class FakeSoftwareUpdateChecker final : public SoftwareUpdateChecking {
public:
    int callCount = 0;
    HeldCalls held;
    bool enabled = true;
    Scripted<SoftwareUpdateCheckResult> answer;

    bool isEnabled() const override { return enabled; }
    QCoro::Task<SoftwareUpdateCheckResult> checkForUpdates(std::stop_token stopToken = {}) override;
};

class FakeReleaseNotesFetcher final : public ReleaseNotesFetching {
public:
    QStringList requestedLanguages;
    HeldCalls held;
    Scripted<QList<ReleaseNoteEntry>> answer;

    QCoro::Task<QList<ReleaseNoteEntry>> fetchReleaseNotes(QString languageCode,
                                                           std::stop_token stopToken = {}) override;
};

}  // namespace quorvelle::test
