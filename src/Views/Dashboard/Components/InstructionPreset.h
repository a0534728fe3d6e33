#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

// The instruction presets of the instructions page, stored by raw value.
enum class InstructionPreset {
    default_,  // raw value "default" (a keyword in C++)
    professional,
    shortAndClean,
};

template <>
struct RawValueTable<InstructionPreset> {
    static constexpr std::array entries{
        std::pair{InstructionPreset::default_, "default"},
        std::pair{InstructionPreset::professional, "professional"},
        std::pair{InstructionPreset::shortAndClean, "shortAndClean"},
    };
};

}  // namespace quorvelle
