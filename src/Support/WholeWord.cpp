#include "Support/WholeWord.h"

#include <QChar>

namespace quorvelle::WholeWord {
namespace {

bool isLetterOrDigit(char32_t c) {
    switch (QChar::category(c)) {
        case QChar::Letter_Uppercase:
        case QChar::Letter_Lowercase:
        case QChar::Letter_Titlecase:
        case QChar::Letter_Modifier:
        case QChar::Letter_Other:
        case QChar::Number_DecimalDigit:
        case QChar::Number_Letter:
        case QChar::Number_Other:
            return true;
        default:
            return false;
    }
}

bool wordCharacterBefore(const QString& text, qsizetype position) {
    if (position <= 0) return false;
    char32_t c = text.at(position - 1).unicode();
    if (QChar::isLowSurrogate(c) && position >= 2 && text.at(position - 2).isHighSurrogate()) {
        c = QChar::surrogateToUcs4(text.at(position - 2), text.at(position - 1));
    }
    return isLetterOrDigit(c);
}

bool wordCharacterAt(const QString& text, qsizetype position) {
    if (position >= text.size()) return false;
    char32_t c = text.at(position).unicode();
    if (QChar::isHighSurrogate(c) && position + 1 < text.size() && text.at(position + 1).isLowSurrogate()) {
        c = QChar::surrogateToUcs4(text.at(position), text.at(position + 1));
    }
    return isLetterOrDigit(c);
}

}  // namespace

QString patternIgnoringCase(const QString& pattern) {
    return QStringLiteral("(?<![\\p{L}\\p{N}])(?i:") + pattern + QStringLiteral(")(?![\\p{L}\\p{N}])");
}

QList<Utf16Range> matchRanges(const IcuRegex& regex, const QString& text) {
    return regex.matchRanges(text, [&](Utf16Range range) {
        return !wordCharacterBefore(text, range.location) && !wordCharacterAt(text, range.end());
    });
}

}  // namespace quorvelle::WholeWord
