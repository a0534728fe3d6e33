#include "Services/Backend/BackendTextNormalization.h"

#include <QSet>
#include <QTextBoundaryFinder>

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace quorvelle {

namespace {

constexpr int kPromptCharacterLimit = 900;

// Case- and accent-insensitive key: decompose, drop the combining marks, fold the case.
QString foldedKey(const QString& text) {
    icu::UnicodeString source(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<int32_t>(text.size()));
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status)) return text.toCaseFolded();
    const icu::UnicodeString decomposed = nfd->normalize(source, status);
    if (U_FAILURE(status)) return text.toCaseFolded();
    icu::UnicodeString stripped;
    for (int32_t i = 0; i < decomposed.length();) {
        const UChar32 c = decomposed.char32At(i);
        if (u_charType(c) != U_NON_SPACING_MARK) stripped.append(c);
        i += U16_LENGTH(c);
    }
    stripped.foldCase();
    return QString(reinterpret_cast<const QChar*>(stripped.getBuffer()), stripped.length());
}

}  // namespace

std::optional<QString> normalizedPromptText(const std::optional<QString>& text) {
    if (!text) return std::nullopt;
    const QString trimmed = text->trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, trimmed);
    int count = 0;
    while (graphemes.toNextBoundary() >= 0) {
        if (++count == kPromptCharacterLimit) return trimmed.left(graphemes.position());
    }
    return trimmed;
}

std::optional<QStringList> normalizedVocabularyHints(const QStringList& hints) {
    QSet<QString> seen;
    QStringList output;
    for (const QString& hint : hints) {
        const QString trimmed = hint.trimmed();
        if (trimmed.isEmpty()) continue;
        const QString key = foldedKey(trimmed);
        if (seen.contains(key)) continue;
        seen.insert(key);
        output.append(trimmed);
    }
    if (output.isEmpty()) return std::nullopt;
    return output;
}

}  // namespace quorvelle
