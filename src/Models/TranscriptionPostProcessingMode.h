// TranscriptionPostProcessingMode: the cleanup mode applied to a transcript on the device.
// Stored as its case name: rawValue, fromRawValue, allCases (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class TranscriptionPostProcessingMode {
    off,
    default_,  // stored as "default" (a keyword in C++)
    chat,
    email,
    rewrite,
};

template <>
struct RawValueTable<TranscriptionPostProcessingMode> {
    static constexpr std::array entries{
        std::pair{TranscriptionPostProcessingMode::off, "off"},
        std::pair{TranscriptionPostProcessingMode::default_, "default"},
        std::pair{TranscriptionPostProcessingMode::chat, "chat"},
        std::pair{TranscriptionPostProcessingMode::email, "email"},
        std::pair{TranscriptionPostProcessingMode::rewrite, "rewrite"},
    };
};

}  // namespace quorvelle
