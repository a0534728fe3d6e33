#pragma once

#include "Services/Backend/SoftwareUpdateChecking.h"

namespace quorvelle {

// Stands in for the update check in test runs: not enabled, and a check fails with WebRequestError
// unsupportedURL without touching the network.
class DisabledSoftwareUpdateChecker : public SoftwareUpdateChecking {
public:
    bool isEnabled() const override { return false; }
    QCoro::Task<SoftwareUpdateCheckResult> checkForUpdates(std::stop_token stopToken = {}) override;
};

}  // namespace quorvelle
