#include "Models/LocalModelInstallState.h"

namespace quorvelle {

LocalModelInstallState LocalModelInstallState::installed(const LocalModelInstallationRecord& record) {
    LocalModelInstallState state(Kind::installed);
    state.m_record = record;
    return state;
}

LocalModelInstallState LocalModelInstallState::failed(const QString& message) {
    LocalModelInstallState state(Kind::failed);
    state.m_failureMessage = message;
    return state;
}

}  // namespace quorvelle
