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

QString LocalModelInstallState::kindName() const {
    static const char* const names[] = {"installed", "failed", "notInstalled", "downloading"};
    return QString::fromLatin1(names[int(m_kind)]);
}

}  // namespace quorvelle
