#include "Services/System/MicrophonePermissionController.h"

#include "Services/Audio/ResolvedAudioInputDeviceSelection.h"

namespace quorvelle {

PermissionState MicrophonePermissionController::authorizationStatus() {
    return m_devices.inputDevices().isEmpty() ? PermissionState::denied : PermissionState::authorized;
}

QCoro::Task<bool> MicrophonePermissionController::requestAccess() {
    co_return authorizationStatus() == PermissionState::authorized;
}

}  // namespace quorvelle
