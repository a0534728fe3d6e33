// TranscriptHistoryCompletionKind: how a finished transcript reached the user: written into the field, pasted and
// verified, paste sent but not verified, or only left on the clipboard. Stored as its case name: rawValue,
// fromRawValue, allCases (RawValueEnum.h).
#pragma once

#include "Models/RawValueEnum.h"

#include <array>
#include <utility>

namespace quorvelle {

enum class TranscriptHistoryCompletionKind {
    inserted,
    pastedViaClipboard,
    pasteSentUnverified,
    copiedToClipboard,
};

template <>
struct RawValueTable<TranscriptHistoryCompletionKind> {
    static constexpr std::array entries{
        std::pair{TranscriptHistoryCompletionKind::inserted, "inserted"},
        std::pair{TranscriptHistoryCompletionKind::pastedViaClipboard, "pastedViaClipboard"},
        std::pair{TranscriptHistoryCompletionKind::pasteSentUnverified, "pasteSentUnverified"},
        std::pair{TranscriptHistoryCompletionKind::copiedToClipboard, "copiedToClipboard"},
    };
};

}  // namespace quorvelle
