#pragma once

#include "Services/System/MicrophonePermissionControlling.h"

namespace quorvelle {

class AudioDeviceListing;

// Native programs on this desktop need no per-application microphone permission: access counts as
// granted while the sound server offers an input device, and as denied while it offers none. The
// listing must outlive the controller.
class MicrophonePermissionController final : public MicrophonePermissionControlling {
public:
    explicit MicrophonePermissionController(const AudioDeviceListing& devices) : m_devices(devices) {}

    PermissionState authorizationStatus() override;
    QCoro::Task<bool> requestAccess() override;

private:
    const AudioDeviceListing& m_devices;
};

}  // namespace quorvelle
