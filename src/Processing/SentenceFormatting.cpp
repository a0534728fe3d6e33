#include "Processing/SentenceFormatting.h"

#include <QChar>
#include <QList>

#include "Support/CharacterClasses.h"

namespace quorvelle {
namespace {

bool endsSentence(char32_t c) {
    return c == U'.' || c == U'!' || c == U'?';
}

}  // namespace

QString formatSentence(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return QString();

    const QList<uint> scalars = trimmed.toUcs4();
    QString output;
    output.reserve(trimmed.size() + 1);
    bool capitalizeNext = true;
    for (qsizetype i = 0; i < scalars.size(); ++i) {
        const char32_t c = scalars[i];
        const QString scalar = QString::fromUcs4(&c, 1);
        if (capitalizeNext && CharacterClasses::isLetterOrMark(c)) {
            output += scalar.toUpper();
            capitalizeNext = false;
        } else {
            output += scalar;
        }
        if (endsSentence(c)) {
            // A mark inside a number, address or file name (3.5, example.com) ends no sentence.
            const bool inWord = i > 0 && i + 1 < scalars.size() && CharacterClasses::isLetterOrNumber(scalars[i - 1]) &&
                                CharacterClasses::isLetterOrNumber(scalars[i + 1]);
            capitalizeNext = !inWord;
        } else if (!QChar::isSpace(c)) {
            capitalizeNext = false;
        }
    }
    if (!endsSentence(output.back().unicode())) output += QLatin1Char('.');
    return output;
}

}  // namespace quorvelle
