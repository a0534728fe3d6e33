#pragma once

#include <QLocale>
#include <QStringList>

namespace quorvelle {

inline constexpr qsizetype kMaximumVocabularyHints = 80;

// The terms trimmed, without empty ones and without repeats (ignoring case and accents, the first
// spelling wins), at most `limit` of them.
QStringList distinctTrimmedTerms(const QStringList& terms, qsizetype limit, const QLocale& locale = QLocale());

// The hint list of a request: distinct trimmed terms, the first 80.
inline QStringList vocabularyHintList(const QStringList& terms, const QLocale& locale = QLocale()) {
    return distinctTrimmedTerms(terms, kMaximumVocabularyHints, locale);
}

}  // namespace quorvelle
