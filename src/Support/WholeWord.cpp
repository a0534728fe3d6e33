#include "Support/WholeWord.h"

#include <QChar>

#include "Support/CharacterClasses.h"

namespace quorvelle::WholeWord {
namespace {

bool wordCharacterBefore(const QString& text, qsizetype position) {
    if (position <= 0) return false;
    char32_t c = text.at(position - 1).unicode();
    if (QChar::isLowSurrogate(c) && position >= 2 && text.at(position - 2).isHighSurrogate()) {
        c = QChar::surrogateToUcs4(text.at(position - 2), text.at(position - 1));
    }
    return CharacterClasses::isLetterOrNumber(c);
}

bool wordCharacterAt(const QString& text, qsizetype position) {
    if (position >= text.size()) return false;
    char32_t c = text.at(position).unicode();
    if (QChar::isHighSurrogate(c) && position + 1 < text.size() && text.at(position + 1).isLowSurrogate()) {
        c = QChar::surrogateToUcs4(text.at(position), text.at(position + 1));
    }
    return CharacterClasses::isLetterOrNumber(c);
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
