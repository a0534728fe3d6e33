// SessionBlockReason: why a dictation session was refused before recording started. Named by its
// case name for the views: rawValue (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class SessionBlockReason {
    noWritableTarget,
    secureField,
    permissionsMissing,
};

template <>
struct RawValueTable<SessionBlockReason> {
    static constexpr std::array entries{
        std::pair{SessionBlockReason::noWritableTarget, "noWritableTarget"},
        std::pair{SessionBlockReason::secureField, "secureField"},
        std::pair{SessionBlockReason::permissionsMissing, "permissionsMissing"},
    };
};

}  // namespace quorvelle
