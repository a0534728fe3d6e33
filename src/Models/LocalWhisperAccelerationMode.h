// LocalWhisperAccelerationMode: whether the local engine may use GPU acceleration or stays on the processor.
// Stored as its case name: rawValue, fromRawValue, allCases (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class LocalWhisperAccelerationMode {
    cpu,
    accelerated,
};

template <>
struct RawValueTable<LocalWhisperAccelerationMode> {
    static constexpr std::array entries{
        std::pair{LocalWhisperAccelerationMode::cpu, "cpu"},
        std::pair{LocalWhisperAccelerationMode::accelerated, "accelerated"},
    };
};

}  // namespace quorvelle
