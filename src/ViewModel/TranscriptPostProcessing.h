#pragma once

#include "Models/DictionaryReplacementEntry.h"
#include "Models/TranscriptionPostProcessingMode.h"
#include "Models/VoiceSnippet.h"

#include <QList>
#include <QString>

namespace quorvelle {

// The values the pipeline reads, taken when the transcript arrives.
struct TranscriptPostProcessingSettings {
    bool isDictionaryReplacementEnabled = true;
    QList<DictionaryReplacementEntry> dictionaryEntries;
    QList<VoiceSnippet> snippets;
    TranscriptionPostProcessingMode mode = TranscriptionPostProcessingMode::off;
    QString customInstructions;
};

// Cleanup, then snippets over the cleaned text, then the dictionary unless a snippet matched: an
// expansion is the user's own text and is never rewritten.
QString postProcessTranscript(const QString& transcript, const TranscriptPostProcessingSettings& settings);

}  // namespace quorvelle
