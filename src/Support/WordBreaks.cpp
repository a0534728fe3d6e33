#include "Support/WordBreaks.h"

#include <unicode/brkiter.h>
#include <unicode/ubrk.h>

#include <map>
#include <memory>

#include "Support/IcuString.h"

namespace quorvelle::WordBreaks {

qsizetype countWordTokens(const QString& text, const QLocale& locale) {
    thread_local std::map<QString, std::unique_ptr<icu::BreakIterator>> iterators;
    auto& iterator = iterators[locale.name()];
    if (!iterator) {
        UErrorCode status = U_ZERO_ERROR;
        iterator.reset(
            icu::BreakIterator::createWordInstance(icu::Locale(locale.name().toLatin1().constData()), status));
        if (U_FAILURE(status) || !iterator) {
            iterator.reset();
            throw std::runtime_error("ICU word break iterator unavailable");
        }
    }
    const icu::UnicodeString aliased = IcuString::alias(text);
    iterator->setText(aliased);
    qsizetype words = 0;
    for (int32_t end = iterator->next(); end != icu::BreakIterator::DONE; end = iterator->next()) {
        if (iterator->getRuleStatus() >= UBRK_WORD_NONE_LIMIT) ++words;
    }
    return words;
}

}  // namespace quorvelle::WordBreaks
