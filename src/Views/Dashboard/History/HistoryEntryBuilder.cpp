#include "Views/Dashboard/History/HistoryEntryBuilder.h"

#include "Views/Dashboard/Components/HistoryTimestampFormatter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvelle {

HistoryEntry HistoryEntryBuilder::make(const TranscriptHistoryEntry& entry, const AppStrings& strings) {
    HistoryEntry row;
    row.id = entry.id;
    row.transcript = entry.transcript;
    row.timestampLabel = HistoryTimestampFormatter::format(entry.completedAt);
    row.wordCountLabel = QString::number(entry.wordCount) + strings.localized(u" words", u" kelime");
    row.durationLabel = durationLabel(entry.durationSeconds);
    row.completionKindLabel = strings.historyCompletionKindLabel(entry.completionKind);
    row.dictionaryActionTitle = strings.localized(u"Add to Dictionary", u"Sözlüğe Ekle");
    return row;
}

QString HistoryEntryBuilder::durationLabel(double seconds) {
    // The largest double below 2^63, so that the rounding below cannot overflow.
    constexpr double largest = 9223372036854774784.0;
    const double bounded = std::isnan(seconds) ? 1.0 : std::clamp(std::round(seconds), 1.0, largest);
    return QString::number(static_cast<qint64>(bounded)) + QLatin1Char('s');
}

}  // namespace quorvelle
