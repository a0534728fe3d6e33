#pragma once

#include "Services/Backend/SoftwareUpdateCheckResult.h"

#include <QCoroTask>

#include <stop_token>

namespace quorvelle {

// Whether a newer stable release than the running program is published.
class SoftwareUpdateChecking {
public:
    virtual ~SoftwareUpdateChecking() = default;

    virtual bool isEnabled() const = 0;
    // A stop request aborts the request and ends the check with CancellationError.
    virtual QCoro::Task<SoftwareUpdateCheckResult> checkForUpdates(std::stop_token stopToken = {}) = 0;
};

}  // namespace quorvelle
