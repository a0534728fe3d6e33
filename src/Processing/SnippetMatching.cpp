#include "Processing/SnippetMatching.h"

#include <QChar>

#include "Support/CharacterClasses.h"
#include "Support/Graphemes.h"
#include "Support/TextFolding.h"

namespace quorvelle::SnippetMatching {
namespace {

bool isTrimmed(char32_t c) {
    return QChar::isSpace(c) || CharacterClasses::isPunctuation(c);
}

QString trimSpaceAndPunctuation(const QString& text) {
    const QList<uint> scalars = text.toUcs4();
    qsizetype first = 0;
    qsizetype last = scalars.size();
    while (first < last && isTrimmed(scalars[first]))
        ++first;
    while (last > first && isTrimmed(scalars[last - 1]))
        --last;
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(scalars.constData()) + first, last - first);
}

QString singularWord(const QString& word) {
    const qsizetype length = Graphemes::count(word);
    if (word.endsWith(QLatin1String("ies")) && length >= 5) return word.chopped(3) + QLatin1Char('y');
    for (const char* suffix : {"ses", "xes", "zes", "ches", "shes"}) {
        if (word.endsWith(QLatin1String(suffix))) return word.chopped(2);
    }
    if (word.endsWith(QLatin1Char('s')) && !word.endsWith(QLatin1String("ss"))) return word.chopped(1);
    return word;
}

}  // namespace

QString normalized(const QString& text, const QLocale& locale) {
    const QString folded = TextFolding::foldCaseAndDiacritics(trimSpaceAndPunctuation(text), locale);
    QStringList words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= folded.size(); ++i) {
        const bool space = i == folded.size() || folded.at(i).isSpace();
        if (!space && start < 0) start = i;
        if (space && start >= 0) {
            words.append(folded.mid(start, i - start));
            start = -1;
        }
    }
    return words.join(QLatin1Char(' '));
}

std::optional<QString> singularVariant(const QString& normalizedText) {
    QStringList words = normalizedText.split(QLatin1Char(' '));
    const QString& last = words.last();
    if (last.isEmpty() || Graphemes::count(last) <= 3) return std::nullopt;
    words.last() = singularWord(last);
    QString variant = words.join(QLatin1Char(' '));
    if (variant == normalizedText) return std::nullopt;
    return variant;
}

QStringList keys(const QString& text, const QLocale& locale) {
    const QString key = normalized(text, locale);
    if (key.isEmpty()) return {};
    QStringList result{key};
    if (auto variant = singularVariant(key)) result.append(*variant);
    return result;
}

}  // namespace quorvelle::SnippetMatching
