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
#include <thread>

namespace quorvelle::test {

class FakeHotkeyMonitor final : public HotkeyMonitoring {
public:
    QStringList calls;
    ScriptedOutcome startOutcome;
    std::function<void()> onKeyDown;
    bool monitoring = false;

    bool isMonitoring() const override { return monitoring; }
    void startMonitoring(const HotkeyShortcut& shortcut, std::function<void()> down, std::function<void()>) override {
        calls << QStringLiteral("startMonitoring(%1)").arg(shortcut.displayTitle);
        startOutcome.next();
        onKeyDown = std::move(down);
        monitoring = true;
    }
    void stopMonitoring() override {
        calls << QStringLiteral("stopMonitoring"), onKeyDown = nullptr, monitoring = false;
    }

    // The key-down callback, called on this thread or on a thread of their own (joined before
    // returning), as the platform may do.
    void press() const {
        if (onKeyDown) onKeyDown();
    }
    void pressFromAnotherThread() const {
        if (onKeyDown) std::thread(onKeyDown).join();
    }
};

class FakeMicrophonePermissionController final : public MicrophonePermissionControlling {
public:
    QStringList calls;
    PermissionState status = PermissionState::authorized;
    Scripted<bool> requestAnswer{true};

    PermissionState authorizationStatus() override { return calls << QStringLiteral("authorizationStatus"), status; }
    QCoro::Task<bool> requestAccess() override {
        calls << QStringLiteral("requestAccess");
        const bool granted = requestAnswer.next();
        if (granted) status = PermissionState::authorized;
        co_return granted;
    }
};

class FakeAccessibilityPermissionController final : public AccessibilityPermissionControlling {
public:
    QStringList calls;
    bool trusted = true;
    Scripted<bool> promptAnswer{true};

    bool isTrusted() override { return trusted; }
    bool promptForTrust() override { return calls << QStringLiteral("promptForTrust"), trusted = promptAnswer.next(); }
};

class FakeStartAtLoginController final : public StartAtLoginControlling {
public:
    QStringList calls;
    StartAtLoginStatus status = StartAtLoginStatus::disabled;
    // The status after a change; a failure is thrown instead when one is queued.
    Scripted<StartAtLoginStatus> setEnabledAnswer{StartAtLoginStatus::enabled};

    StartAtLoginStatus currentStatus() override { return status; }
    StartAtLoginStatus setEnabled(bool) override { return status = setEnabledAnswer.next(); }
    void openSystemSettings() override { calls << QStringLiteral("openSystemSettings"); }
};

class FakeSystemNavigator final : public SystemNavigating {
public:
    QList<SystemDestination> opened;
    void open(const SystemDestination& destination) override { opened.append(destination); }
};

}  // namespace quorvelle::test
