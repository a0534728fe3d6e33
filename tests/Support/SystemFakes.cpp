#include "SystemFakes.h"

#include <thread>

namespace quorvelle::test {

namespace {

void callOnOwnThread(const std::function<void()>& callback) {
    if (!callback) return;
    std::thread caller(callback);
    caller.join();
}

}  // namespace

void FakeHotkeyMonitor::startMonitoring(const HotkeyShortcut& shortcut, std::function<void()> down,
                                        std::function<void()> up) {
    calls << QStringLiteral("startMonitoring(%1)").arg(shortcut.displayTitle);
    startOutcome.next();
    onKeyDown = std::move(down);
    onKeyUp = std::move(up);
    monitoring = true;
}

void FakeHotkeyMonitor::stopMonitoring() {
    calls << QStringLiteral("stopMonitoring");
    onKeyDown = nullptr;
    onKeyUp = nullptr;
    monitoring = false;
}

void FakeHotkeyMonitor::press() const {
    if (onKeyDown) onKeyDown();
}

void FakeHotkeyMonitor::release() const {
    if (onKeyUp) onKeyUp();
}

void FakeHotkeyMonitor::pressFromAnotherThread() const {
    callOnOwnThread(onKeyDown);
}

void FakeHotkeyMonitor::releaseFromAnotherThread() const {
    callOnOwnThread(onKeyUp);
}

PermissionState FakeMicrophonePermissionController::authorizationStatus() {
    calls << QStringLiteral("authorizationStatus");
    return status;
}

QCoro::Task<bool> FakeMicrophonePermissionController::requestAccess() {
    calls << QStringLiteral("requestAccess");
    const bool granted = requestAnswer.next();
    if (granted) status = PermissionState::authorized;
    co_return granted;
}

bool FakeAccessibilityPermissionController::isTrusted() {
    calls << QStringLiteral("isTrusted");
    return trusted;
}

bool FakeAccessibilityPermissionController::promptForTrust() {
    calls << QStringLiteral("promptForTrust");
    trusted = promptAnswer.next();
    return trusted;
}

StartAtLoginStatus FakeStartAtLoginController::currentStatus() {
    calls << QStringLiteral("currentStatus");
    return status;
}

StartAtLoginStatus FakeStartAtLoginController::setEnabled(bool enabled) {
    calls << QStringLiteral("setEnabled(%1)").arg(enabled ? "true" : "false");
    status = setEnabledAnswer.next();
    return status;
}

void FakeStartAtLoginController::openSystemSettings() {
    calls << QStringLiteral("openSystemSettings");
}

}  // namespace quorvelle::test
