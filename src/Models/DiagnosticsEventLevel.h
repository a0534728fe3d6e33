// DiagnosticsEventLevel: the severity of a diagnostics event.
// Stored as its case name: rawValue, fromRawValue, allCases (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class DiagnosticsEventLevel {
    info,
    warning,
    error,
};

template <>
struct RawValueTable<DiagnosticsEventLevel> {
    static constexpr std::array entries{
        std::pair{DiagnosticsEventLevel::info, "info"},
        std::pair{DiagnosticsEventLevel::warning, "warning"},
        std::pair{DiagnosticsEventLevel::error, "error"},
    };
};

}  // namespace quorvelle
