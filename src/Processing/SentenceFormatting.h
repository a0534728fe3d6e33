#pragma once

#include <QString>

namespace quorvelle {

// Capitalises the first letter and the first letter after . ! ? (across whitespace), and ends the
// text with a full stop unless it already ends in . ! ? An empty text stays empty.
QString formatSentence(const QString& text);

}  // namespace quorvelle
