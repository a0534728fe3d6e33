// DesktopThemeOption: the dashboard theme: the brand theme (quorvelle) or one of two plain ones.
// Stored as its case name: rawValue, fromRawValue, allCases (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class DesktopThemeOption {
    quorvelle,
    black,
    light,
};

template <>
struct RawValueTable<DesktopThemeOption> {
    static constexpr std::array entries{
        std::pair{DesktopThemeOption::quorvelle, "quorvelle"},
        std::pair{DesktopThemeOption::black, "black"},
        std::pair{DesktopThemeOption::light, "light"},
    };
};

}  // namespace quorvelle
