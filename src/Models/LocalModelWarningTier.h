// LocalModelWarningTier: how strongly the interface warns about a local model's resource use.
// Named by its case name for the views: rawValue (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class LocalModelWarningTier {
    none,
    elevated,
    heavy,
};

template <>
struct RawValueTable<LocalModelWarningTier> {
    static constexpr std::array entries{
        std::pair{LocalModelWarningTier::none, "none"},
        std::pair{LocalModelWarningTier::elevated, "elevated"},
        std::pair{LocalModelWarningTier::heavy, "heavy"},
    };
};

}  // namespace quorvelle
