#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

// The instructions and hints as a transcription request carries them.
namespace quorvelle {

inline constexpr qsizetype kMaximumRequestPromptCharacters = 900;

// Trimmed, at most 900 characters (never splitting one); none when absent or empty.
std::optional<QString> normalizedPromptText(const std::optional<QString>& text);

// Trimmed, empty ones dropped, repeats (ignoring case and accents) dropped, any number; none when
// nothing is left.
std::optional<QStringList> normalizedVocabularyHints(const QStringList& hints, const QLocale& locale = QLocale());

}  // namespace quorvelle
