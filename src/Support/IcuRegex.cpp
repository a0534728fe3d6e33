#include "Support/IcuRegex.h"

#include <unicode/regex.h>
#include <unicode/utypes.h>

#include "Support/IcuString.h"

namespace quorvelle {

IcuRegexError::IcuRegexError(Kind kind, QString pattern, const char* icuError)
    : std::runtime_error(std::string(kind == Kind::invalidPattern ? "invalid regular expression: "
                                                                  : "invalid replacement template: ") +
                         icuError),
      m_kind(kind),
      m_pattern(std::move(pattern)) {}

IcuRegex::IcuRegex(const QString& pattern, Matching matching) : m_source(pattern) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    const uint32_t flags = matching == Matching::caseInsensitive ? UREGEX_CASE_INSENSITIVE : 0;
    m_pattern.reset(icu::RegexPattern::compile(IcuString::alias(pattern), flags, parseError, status));
    if (U_FAILURE(status)) {
        m_pattern.reset();
        throw IcuRegexError(IcuRegexError::Kind::invalidPattern, pattern, u_errorName(status));
    }
}

IcuRegex::IcuRegex(IcuRegex&&) noexcept = default;
IcuRegex& IcuRegex::operator=(IcuRegex&&) noexcept = default;
IcuRegex::~IcuRegex() = default;

QString IcuRegex::replaceAll(const QString& text, const QString& replacementTemplate) const {
    return replaceAllIfMatched(text, replacementTemplate).value_or(text);
}

std::optional<QString> IcuRegex::replaceAllIfMatched(const QString& text, const QString& replacementTemplate) const {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString input = IcuString::alias(text);
    std::unique_ptr<icu::RegexMatcher> matcher(m_pattern->matcher(input, status));
    if (U_FAILURE(status)) throw IcuRegexError(IcuRegexError::Kind::invalidPattern, m_source, u_errorName(status));
    if (!matcher->find()) return std::nullopt;
    matcher->reset();
    const icu::UnicodeString result = matcher->replaceAll(IcuString::alias(replacementTemplate), status);
    if (U_FAILURE(status)) {
        throw IcuRegexError(IcuRegexError::Kind::invalidReplacement, replacementTemplate, u_errorName(status));
    }
    return IcuString::toQString(result);
}

QString IcuRegex::replaceAllOrCut(const QString& text, const QString& replacementTemplate,
                                  const QString& cutMarker) const {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString input = IcuString::alias(text);
    std::unique_ptr<icu::RegexMatcher> matcher(m_pattern->matcher(input, status));
    if (U_FAILURE(status)) throw IcuRegexError(IcuRegexError::Kind::invalidPattern, m_source, u_errorName(status));
    const icu::UnicodeString replacement = IcuString::alias(replacementTemplate);
    icu::UnicodeString result;
    bool matched = false;
    while (matcher->find(status)) {
        matched = true;
        // Appends the text since the previous match, then the expansion.
        matcher->appendReplacement(result, replacement, status);
        if (U_FAILURE(status))
            throw IcuRegexError(IcuRegexError::Kind::invalidReplacement, replacementTemplate, u_errorName(status));
    }
    // The result holds everything up to the end of the last match, where the failed search began.
    if (U_FAILURE(status)) return IcuString::toQString(result) + cutMarker;
    if (!matched) return text;
    matcher->appendTail(result);
    return IcuString::toQString(result);
}

QList<Utf16Range> IcuRegex::matchRanges(const QString& text) const {
    return matchRanges(text, [](Utf16Range) { return true; });
}

QList<Utf16Range> IcuRegex::matchRanges(const QString& text, const std::function<bool(Utf16Range)>& accept) const {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString input = IcuString::alias(text);
    std::unique_ptr<icu::RegexMatcher> matcher(m_pattern->matcher(input, status));
    if (U_FAILURE(status)) throw IcuRegexError(IcuRegexError::Kind::invalidPattern, m_source, u_errorName(status));
    QList<Utf16Range> ranges;
    int64_t from = 0;
    while (from <= text.size() && matcher->find(from, status) && U_SUCCESS(status)) {
        const int32_t start = matcher->start(status);
        const int32_t end = matcher->end(status);
        const Utf16Range range{start, end - start};
        if (accept(range)) {
            ranges.append(range);
            from = end > start ? end : end + 1;
        } else {
            from = start + 1;
        }
    }
    return ranges;
}

QString IcuRegex::escapedPattern(const QString& literal) {
    // A backslash before any ASCII character that is neither a letter nor a digit makes it literal in
    // ICU; every other character already stands for itself outside a set.
    QString escaped;
    escaped.reserve(literal.size() * 2);
    for (const QChar c : literal) {
        const char16_t u = c.unicode();
        const bool asciiPunctuation = u > 0x20 && u < 0x7F && !c.isLetterOrNumber();
        if (asciiPunctuation) escaped.append(QLatin1Char('\\'));
        escaped.append(c);
    }
    return escaped;
}

}  // namespace quorvelle
