// RecordingTriggerMode: push-to-talk records while the combination is held; toggle starts on one press and stops on the
// next. Stored as its case name: rawValue, fromRawValue, allCases (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class RecordingTriggerMode {
    pushToTalk,
    toggle,
};

template <>
struct RawValueTable<RecordingTriggerMode> {
    static constexpr std::array entries{
        std::pair{RecordingTriggerMode::pushToTalk, "pushToTalk"},
        std::pair{RecordingTriggerMode::toggle, "toggle"},
    };
};

}  // namespace quorvelle
