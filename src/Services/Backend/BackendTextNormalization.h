#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvelle {

// The custom instructions as sent: trimmed, at most 900 user-perceived characters, absent when empty.
std::optional<QString> normalizedPromptText(const std::optional<QString>& text);

// The vocabulary hints as sent: each trimmed, empty ones dropped, later duplicates (compared without
// regard to case and accents) dropped, the first occurrence kept as written; absent when none remain.
std::optional<QStringList> normalizedVocabularyHints(const QStringList& hints);

}  // namespace quorvelle
