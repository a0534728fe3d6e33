#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "Models/VocabularyHintEntry.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"

namespace quorvelle {

inline constexpr qsizetype kMaximumPromptCharacters = 1800;

// What the transcription engine is told besides the audio, for one dictation.
struct TranscriptionPromptContext {
    std::optional<QString> customInstructions;  // trimmed; none when empty
    QStringList vocabularyHints;
    std::optional<QString> prompt;  // at most 1800 characters
    bool isDeveloperContext = false;

    bool operator==(const TranscriptionPromptContext&) const = default;
};

TranscriptionPromptContext buildTranscriptionPrompt(const std::optional<QString>& customInstructions,
                                                    const QList<VocabularyHintEntry>& hints,
                                                    const std::optional<FocusedTargetSnapshot>& target);

// Instructions, hints line and developer line, a blank line apart; cut to 1800 characters without
// splitting one. None when there is nothing to say.
std::optional<QString> composeTranscriptionPrompt(const std::optional<QString>& trimmedInstructions,
                                                  const QStringList& hintTerms, bool isDeveloperContext);

}  // namespace quorvelle
