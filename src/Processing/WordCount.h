#pragma once

#include <QString>

namespace quorvelle {

// Words of a delivered transcript for its history entry. Text without any word by the word-break
// rules (only symbols or emoji) counts its runs of non-space characters instead.
qsizetype countWords(const QString& text);

}  // namespace quorvelle
