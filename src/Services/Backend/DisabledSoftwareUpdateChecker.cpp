#include "Services/Backend/DisabledSoftwareUpdateChecker.h"

#include "Services/Backend/WebRequestError.h"

namespace quorvelle {

QCoro::Task<SoftwareUpdateCheckResult> DisabledSoftwareUpdateChecker::checkForUpdates(std::stop_token) {
    throw WebRequestError::unsupportedURL();
    co_return {};
}

}  // namespace quorvelle
