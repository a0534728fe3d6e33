#include "Support/TextFolding.h"

#include <unicode/coll.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>

#include <map>
#include <memory>

#include "Support/IcuString.h"

namespace quorvelle::TextFolding {
namespace {

bool usesTurkicCasing(const QLocale& locale) {
    return locale.language() == QLocale::Turkish || locale.language() == QLocale::Azerbaijani;
}

icu::Locale icuLocale(const QLocale& locale) {
    return icu::Locale(locale.name().toLatin1().constData());
}

}  // namespace

QString foldCaseAndDiacritics(const QString& text, const QLocale& locale) {
    icu::UnicodeString folded = IcuString::alias(text);
    folded.foldCase(usesTurkicCasing(locale) ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT);

    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return IcuString::toQString(folded);
    const icu::UnicodeString decomposed = nfd->normalize(folded, status);
    if (U_FAILURE(status)) return IcuString::toQString(folded);

    icu::UnicodeString bare;
    for (int32_t i = 0; i < decomposed.length();) {
        const UChar32 c = decomposed.char32At(i);
        if (u_charType(c) != U_NON_SPACING_MARK) bare.append(c);
        i += U16_LENGTH(c);
    }
    const icu::UnicodeString composed = nfc->normalize(bare, status);
    return IcuString::toQString(U_SUCCESS(status) ? composed : bare);
}

QString foldCase(const QString& text) {
    icu::UnicodeString folded = IcuString::alias(text);
    folded.foldCase(U_FOLD_CASE_DEFAULT);
    return IcuString::toQString(folded);
}

int compareCaseInsensitive(const QString& a, const QString& b, const QLocale& locale) {
    // Building a collator is costly; keep one per locale and thread.
    thread_local std::map<QString, std::unique_ptr<icu::Collator>> collators;
    auto& collator = collators[locale.name()];
    if (!collator) {
        UErrorCode status = U_ZERO_ERROR;
        collator.reset(icu::Collator::createInstance(icuLocale(locale), status));
        if (U_FAILURE(status) || !collator) {
            collator.reset();
            return QString::compare(a, b, Qt::CaseInsensitive);
        }
        collator->setStrength(icu::Collator::SECONDARY);
    }
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = collator->compare(IcuString::alias(a), IcuString::alias(b), status);
    if (U_FAILURE(status)) return QString::compare(a, b, Qt::CaseInsensitive);
    return static_cast<int>(result);
}

}  // namespace quorvelle::TextFolding
