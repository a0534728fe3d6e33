// LocalTranscriptionModelID: the catalogued local whisper models.
// Stored as its case name: rawValue, fromRawValue, allCases (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <QList>

#include <array>
#include <utility>

namespace quorvelle {

enum class LocalTranscriptionModelID {
    tinyMultilingual,
    baseMultilingual,
    tinyEnglish,
    baseEnglish,
    smallEnglish,
    smallMultilingual,
    mediumMultilingual,
    largeV3,
};

template <>
struct RawValueTable<LocalTranscriptionModelID> {
    static constexpr std::array entries{
        std::pair{LocalTranscriptionModelID::tinyMultilingual, "tinyMultilingual"},
        std::pair{LocalTranscriptionModelID::baseMultilingual, "baseMultilingual"},
        std::pair{LocalTranscriptionModelID::tinyEnglish, "tinyEnglish"},
        std::pair{LocalTranscriptionModelID::baseEnglish, "baseEnglish"},
        std::pair{LocalTranscriptionModelID::smallEnglish, "smallEnglish"},
        std::pair{LocalTranscriptionModelID::smallMultilingual, "smallMultilingual"},
        std::pair{LocalTranscriptionModelID::mediumMultilingual, "mediumMultilingual"},
        std::pair{LocalTranscriptionModelID::largeV3, "largeV3"},
    };
};

// The ids offered for selection and accepted as the stored selection, in menu order. The three
// English-only ids stay decodable for older settings but are not offered.
inline const QList<LocalTranscriptionModelID>& selectableLocalTranscriptionModelIDs() {
    using M = LocalTranscriptionModelID;
    static const QList<M> ids{M::tinyMultilingual, M::baseMultilingual, M::smallMultilingual, M::mediumMultilingual,
                              M::largeV3};
    return ids;
}

}  // namespace quorvelle
