#include "Processing/PromptNormalization.h"

#include <limits>

#include "Processing/VocabularyHints.h"
#include "Support/Graphemes.h"

namespace quorvelle {

std::optional<QString> normalizedPromptText(const std::optional<QString>& text) {
    if (!text) return std::nullopt;
    const QString trimmed = text->trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    return Graphemes::prefix(trimmed, kMaximumRequestPromptCharacters);
}

std::optional<QStringList> normalizedVocabularyHints(const QStringList& hints, const QLocale& locale) {
    QStringList distinct = distinctTrimmedTerms(hints, std::numeric_limits<qsizetype>::max(), locale);
    if (distinct.isEmpty()) return std::nullopt;
    return distinct;
}

}  // namespace quorvelle
