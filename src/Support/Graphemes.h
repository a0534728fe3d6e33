#pragma once

#include <QString>

// User-perceived characters (extended grapheme clusters), so that limits and lengths never cut a
// surrogate pair, an emoji sequence or a letter from its accents.
namespace quorvelle::Graphemes {

qsizetype count(const QString& text);

// The first `maxCount` characters of the text; all of it when it is no longer.
QString prefix(const QString& text, qsizetype maxCount);

}  // namespace quorvelle::Graphemes
