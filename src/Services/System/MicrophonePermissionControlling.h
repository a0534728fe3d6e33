#pragma once

#include "Models/PermissionState.h"

#include <QCoroTask>

namespace quorvelle {

class MicrophonePermissionControlling {
public:
    virtual ~MicrophonePermissionControlling() = default;

    virtual PermissionState authorizationStatus() = 0;
    // The user's answer; a desktop without per-application permission answers at once.
    virtual QCoro::Task<bool> requestAccess() = 0;
};

}  // namespace quorvelle
