// WidgetAppearance: the look of the overlay pill: the current widget or the logo alone.
// Stored as its case name: rawValue, fromRawValue, allCases (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class WidgetAppearance {
    currentWidget,
    logoOnly,
};

template <>
struct RawValueTable<WidgetAppearance> {
    static constexpr std::array entries{
        std::pair{WidgetAppearance::currentWidget, "currentWidget"},
        std::pair{WidgetAppearance::logoOnly, "logoOnly"},
    };
};

}  // namespace quorvelle
