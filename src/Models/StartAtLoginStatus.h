#pragma once

namespace quorvelle {

enum class StartAtLoginStatus {
    enabled,
    disabled,
    requiresApproval,
    unsupported,
};

}  // namespace quorvelle
