#pragma once

#include "Models/TranscriptHistoryEntry.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace quorvelle {

// The comma-separated form of the transcript history.
namespace TranscriptHistoryCsv {

inline constexpr const char* header = "completed_at,transcript,duration_seconds,word_count,completion_kind";

// A cell a spreadsheet would run as a formula (starting with =, +, -, @, a tab or a carriage
// return) behind a single quote, which spreadsheets show as text; any other cell unchanged.
QString neutralized(const QString& cell);

// One line: UTC time, the transcript always quoted (inner quotes doubled, commas and line breaks
// kept, a formula neutralized), the duration with two decimals, the word count and the completion
// kind's case name; appended to `text` in UTF-8.
void appendRow(QByteArray& text, const TranscriptHistoryEntry& entry);

// The header and one row per entry, in the order given, joined by line feeds, none at the end; UTF-8.
QByteArray document(const QList<TranscriptHistoryEntry>& entries);

// "quorvelle-history-<local date>.csv"
QString fileName(const QDateTime& now);
// What every such name matches, as a folder listing's filter.
QString fileNamePattern();

}  // namespace TranscriptHistoryCsv
}  // namespace quorvelle
