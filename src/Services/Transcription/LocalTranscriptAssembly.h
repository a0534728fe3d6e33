// How the on-device engine's output becomes one transcript: the language label, and the joining of
// the segments into one line, or silence, or an empty result.
#pragma once

#include "Services/Transcription/LocalTranscriptionRuntimeError.h"

#include <QList>
#include <QString>

#include <optional>

namespace quorvelle {

// A segment no-speech probability at or above this, on every segment of an empty result, means silence.
inline constexpr double kLocalNoSpeechProbabilityThreshold = 0.8;

// "en (english)" from the engine's short code and full name of a language id; the code alone when
// either part is empty or the full name is missing, the full name when the code is missing,
// "id <n>" when both are missing, and none for a negative id.
std::optional<QString> localLanguageLabel(int languageID, const std::optional<QString>& shortCode,
                                          const std::optional<QString>& fullName);

// The segment texts joined with single spaces and every run of white space collapsed. Throws
// LocalTranscriptionRuntimeError::noSpeechDetected when there are no segments or when the text is
// empty and every segment is likely silence, else emptyTranscript for an empty text; both carry
// the diagnostics.
QString assembleLocalTranscript(const QList<LocalDecodedSegment>& segments, int languageID,
                                const std::optional<QString>& languageLabel, const QString& modelTitle);

}  // namespace quorvelle
