#pragma once

#include <QList>
#include <QLocale>
#include <QString>

#include "Models/DictionaryReplacementEntry.h"

namespace quorvelle {

// Replaces every whole-word occurrence of each entry's original (ignoring case) by its replacement,
// inserted literally. Longer originals claim their text first; all matching runs on the text as
// given, so no replacement is rescanned.
QString applyDictionaryReplacements(const QString& text, const QList<DictionaryReplacementEntry>& entries,
                                    const QLocale& locale = QLocale());

}  // namespace quorvelle
