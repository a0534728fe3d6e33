#pragma once

#include <QString>

#include "Models/TranscriptionPostProcessingMode.h"

namespace quorvelle {

struct TranscriptCleanupResult {
    QString inputTranscript;
    QString transcript;  // what is delivered
    TranscriptionPostProcessingMode mode = TranscriptionPostProcessingMode::off;

    bool operator==(const TranscriptCleanupResult&) const = default;
};

// The first step from a raw transcript to the delivered text. `off` leaves it untouched; every other
// mode turns spoken punctuation into marks, drops fillers, tidies whitespace and forms sentences;
// `email` then starts a paragraph at a greeting or closing inside the text.
TranscriptCleanupResult applyCleanupMode(const QString& transcript, TranscriptionPostProcessingMode mode);

}  // namespace quorvelle
