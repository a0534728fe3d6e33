#include "Support/Graphemes.h"

#include <unicode/brkiter.h>

#include <memory>

#include "Support/IcuString.h"

namespace quorvelle::Graphemes {
namespace {

// Printable ASCII has one character per code unit (only CR LF pairs up), so it needs no iterator.
bool isPlainAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x7F || c.unicode() == u'\r') return false;
    }
    return true;
}

icu::BreakIterator& characterIterator() {
    thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status) || !made) throw std::runtime_error("ICU character break iterator unavailable");
        return made;
    }();
    return *iterator;
}

// The code-unit end of the first `maxCount` characters, or -1 with the total count when fewer.
qsizetype walk(const QString& text, qsizetype maxCount, qsizetype* total) {
    const icu::UnicodeString aliased = IcuString::alias(text);
    icu::BreakIterator& iterator = characterIterator();
    iterator.setText(aliased);
    qsizetype counted = 0;
    for (int32_t end = iterator.next(); end != icu::BreakIterator::DONE; end = iterator.next()) {
        if (++counted == maxCount) return end;
    }
    if (total) *total = counted;
    return -1;
}

}  // namespace

qsizetype count(const QString& text) {
    if (isPlainAscii(text)) return text.size();
    qsizetype total = 0;
    walk(text, -1, &total);
    return total;
}

QString prefix(const QString& text, qsizetype maxCount) {
    if (maxCount <= 0) return QString();
    if (text.size() <= maxCount) return text;  // never more characters than code units
    if (isPlainAscii(text)) return text.left(maxCount);
    const qsizetype end = walk(text, maxCount, nullptr);
    return end < 0 ? text : text.left(end);
}

}  // namespace quorvelle::Graphemes
