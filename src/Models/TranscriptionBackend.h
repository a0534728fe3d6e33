// TranscriptionBackend: which engine transcribes: the backend service (cloud) or whisper.cpp on this computer (local).
// Stored as its case name: rawValue, fromRawValue, allCases (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class TranscriptionBackend {
    cloud,
    local,
};

template <>
struct RawValueTable<TranscriptionBackend> {
    static constexpr std::array entries{
        std::pair{TranscriptionBackend::cloud, "cloud"},
        std::pair{TranscriptionBackend::local, "local"},
    };
};

}  // namespace quorvelle
