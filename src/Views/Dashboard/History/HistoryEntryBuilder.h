#pragma once

#include "Models/AppStrings.h"
#include "Models/TranscriptHistoryEntry.h"
#include "Views/Dashboard/Components/HistoryEntry.h"

#include <QString>

namespace quorvelle {

// Turns a stored dictation into the labelled row the overview and history pages draw.
class HistoryEntryBuilder {
public:
    static HistoryEntry make(const TranscriptHistoryEntry& entry, const AppStrings& strings);

    // Whole seconds, halves away from zero, at least 1, then "s": 0.4 gives "1s", 2.5 gives "3s".
    // A duration that is no number reads as 1 second; one too large for a count, as the largest.
    static QString durationLabel(double seconds);
};

}  // namespace quorvelle
