#pragma once

#include <QLocale>
#include <QString>

namespace quorvelle::WordBreaks {

// The words of the text by the locale's word-break rules: letters, numbers, kana and ideographs
// count; spaces and punctuation between them do not.
qsizetype countWordTokens(const QString& text, const QLocale& locale = QLocale());

}  // namespace quorvelle::WordBreaks
