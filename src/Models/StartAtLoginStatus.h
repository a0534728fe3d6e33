// StartAtLoginStatus: whether the program starts with the desktop session. Named by its case
// name for the views: rawValue (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class StartAtLoginStatus {
    enabled,
    disabled,
    requiresApproval,
    unsupported,
};

template <>
struct RawValueTable<StartAtLoginStatus> {
    static constexpr std::array entries{
        std::pair{StartAtLoginStatus::enabled, "enabled"},
        std::pair{StartAtLoginStatus::disabled, "disabled"},
        std::pair{StartAtLoginStatus::requiresApproval, "requiresApproval"},
        std::pair{StartAtLoginStatus::unsupported, "unsupported"},
    };
};

}  // namespace quorvelle
