#pragma once

#include "Services/Backend/SoftwareUpdateCheckResult.h"

#include <QCoroTask>

namespace quorvelle {

// Whether a newer stable release than the running program is published.
class SoftwareUpdateChecking {
public:
    virtual ~SoftwareUpdateChecking() = default;

    virtual bool isEnabled() const = 0;
    virtual QCoro::Task<SoftwareUpdateCheckResult> checkForUpdates() = 0;
};

}  // namespace quorvelle
