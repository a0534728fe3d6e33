#include "Processing/WordCount.h"

#include "Support/WordBreaks.h"

namespace quorvelle {

qsizetype countWords(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return 0;
    if (const qsizetype words = WordBreaks::countWordTokens(trimmed); words > 0) return words;

    qsizetype runs = 0;
    bool inRun = false;
    for (const QChar c : trimmed) {
        const bool space = c.isSpace();
        if (!space && !inRun) ++runs;
        inRun = !space;
    }
    return runs;
}

}  // namespace quorvelle
