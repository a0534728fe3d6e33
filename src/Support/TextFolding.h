#pragma once

#include <QLocale>
#include <QString>

// Locale-aware comparison helpers that ignore case, and for keys also accents.
namespace quorvelle::TextFolding {

// Case folded (Turkish and Azerbaijani fold I to ı and İ to i), then stripped of combining marks:
// 'Şeker', 'ŞEKER' and 'seker' share one key. Letters without a decomposition (ı, ø) stay.
QString foldCaseAndDiacritics(const QString& text, const QLocale& locale = QLocale());

// Locale-independent full case folding, the one ICU's case-insensitive matching uses.
QString foldCase(const QString& text);

// Collation order of the locale, ignoring case but not accents: negative, zero or positive.
int compareCaseInsensitive(const QString& a, const QString& b, const QLocale& locale = QLocale());

}  // namespace quorvelle::TextFolding
