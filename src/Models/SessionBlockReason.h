// SessionBlockReason: why a dictation session was refused before recording started.
#pragma once

namespace quorvelle {

enum class SessionBlockReason {
    noWritableTarget,
    secureField,
    permissionsMissing,
};

}  // namespace quorvelle
