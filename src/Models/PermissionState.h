// PermissionState: the state of a permission the program needs (never stored; the raw value is for logs).
// Stored as its case name: rawValue, fromRawValue, allCases (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class PermissionState {
    notDetermined,
    authorized,
    denied,
};

template <>
struct RawValueTable<PermissionState> {
    static constexpr std::array entries{
        std::pair{PermissionState::notDetermined, "notDetermined"},
        std::pair{PermissionState::authorized, "authorized"},
        std::pair{PermissionState::denied, "denied"},
    };
};

}  // namespace quorvelle
