// fallbackMessage: the Turkish message shown when the text went to the clipboard instead of
// into the field, chosen by the "runtime.fallback." diagnostics code that was recorded.
#pragma once

#include <QString>

namespace quorvelle {

// Exact, case-sensitive match on the whole code; unknown codes give the plain
// "Metin panoya kopyalandı.".
QString fallbackMessage(const QString& code);

}  // namespace quorvelle
