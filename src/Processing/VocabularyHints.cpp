#include "Processing/VocabularyHints.h"

#include <QSet>

#include "Support/TextFolding.h"

namespace quorvelle {

QStringList distinctTrimmedTerms(const QStringList& terms, qsizetype limit, const QLocale& locale) {
    QStringList result;
    QSet<QString> seen;
    for (const QString& term : terms) {
        if (result.size() >= limit) break;
        const QString trimmed = term.trimmed();
        if (trimmed.isEmpty()) continue;
        const QString key = TextFolding::foldCaseAndDiacritics(trimmed, locale);
        if (seen.contains(key)) continue;
        seen.insert(key);
        result.append(trimmed);
    }
    return result;
}

}  // namespace quorvelle
