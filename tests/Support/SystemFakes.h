#pragma once

#include "Scripted.h"
#include "Services/System/AccessibilityPermissionControlling.h"
#include "Services/System/HotkeyMonitoring.h"
#include "Services/System/MicrophonePermissionControlling.h"
#include "Services/System/StartAtLoginControlling.h"
#include "Services/System/SystemNavigating.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace quorvelle::test {

class FakeHotkeyMonitor final : public HotkeyMonitoring {
public:
    QStringList calls;
    ScriptedOutcome startOutcome;
    std::function<void()> onKeyDown;
    std::function<void()> onKeyUp;
    bool monitoring = false;

    bool isMonitoring() const override { return monitoring; }
    void startMonitoring(const HotkeyShortcut& shortcut, std::function<void()> down, std::function<void()> up) override;
    void stopMonitoring() override;

    // The registered callbacks, called on this thread or on a thread of their own (joined before
    // returning), as the platform may do.
    void press() const;
    void release() const;
    void pressFromAnotherThread() const;
    void releaseFromAnotherThread() const;
};

class FakeMicrophonePermissionController final : public MicrophonePermissionControlling {
public:
    QStringList calls;
    PermissionState status = PermissionState::authorized;
    Scripted<bool> requestAnswer{true};

    PermissionState authorizationStatus() override;
    QCoro::Task<bool> requestAccess() override;
};

class FakeAccessibilityPermissionController final : public AccessibilityPermissionControlling {
public:
    QStringList calls;
    bool trusted = true;
    Scripted<bool> promptAnswer{true};

    bool isTrusted() override;
    bool promptForTrust() override;
};

class FakeStartAtLoginController final : public StartAtLoginControlling {
public:
    QStringList calls;
    StartAtLoginStatus status = StartAtLoginStatus::disabled;
    // The status after a change; a failure is thrown instead when one is queued.
    Scripted<StartAtLoginStatus> setEnabledAnswer{StartAtLoginStatus::enabled};

    StartAtLoginStatus currentStatus() override;
    StartAtLoginStatus setEnabled(bool enabled) override;
    void openSystemSettings() override;
};

class FakeSystemNavigator final : public SystemNavigating {
public:
    QList<SystemDestination> opened;

    void open(const SystemDestination& destination) override { opened.append(destination); }
};

}  // namespace quorvelle::test
