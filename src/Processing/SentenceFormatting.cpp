#include "Processing/SentenceFormatting.h"

#include <QChar>
#include <QList>

namespace quorvelle {
namespace {

bool isLetter(char32_t c) {
    // Letters and combining marks, the set a sentence's first "letter" is looked for in.
    switch (QChar::category(c)) {
        case QChar::Letter_Uppercase:
        case QChar::Letter_Lowercase:
        case QChar::Letter_Titlecase:
        case QChar::Letter_Modifier:
        case QChar::Letter_Other:
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
            return true;
        default:
            return false;
    }
}

bool isLetterOrDigit(char32_t c) {
    return QChar::isLetterOrNumber(c);
}

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
        if (capitalizeNext && isLetter(c)) {
            output += scalar.toUpper();
            capitalizeNext = false;
        } else {
            output += scalar;
        }
        if (endsSentence(c)) {
            // A mark inside a number, address or file name (3.5, example.com) ends no sentence.
            const bool inWord = i > 0 && i + 1 < scalars.size() && isLetterOrDigit(scalars[i - 1]) &&
                                isLetterOrDigit(scalars[i + 1]);
            capitalizeNext = !inWord;
        } else if (!QChar::isSpace(c)) {
            capitalizeNext = false;
        }
    }
    if (!endsSentence(output.back().unicode())) output += QLatin1Char('.');
    return output;
}

}  // namespace quorvelle
