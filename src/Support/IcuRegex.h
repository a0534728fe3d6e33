#pragma once

#include <unicode/uversion.h>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

U_NAMESPACE_BEGIN
class RegexPattern;
U_NAMESPACE_END

namespace quorvelle {

// A span of text in UTF-16 code units, the unit both ICU and QString count in.
struct Utf16Range {
    qsizetype location = 0;
    qsizetype length = 0;

    qsizetype end() const { return location + length; }
    bool overlaps(const Utf16Range& other) const { return location < other.end() && other.location < end(); }
    bool operator==(const Utf16Range&) const = default;
};

class IcuRegexError : public std::runtime_error {
public:
    enum class Kind { invalidPattern, invalidReplacement };

    IcuRegexError(Kind kind, QString pattern, const char* icuError);

    Kind kind() const { return m_kind; }
    const QString& pattern() const { return m_pattern; }

private:
    Kind m_kind;
    QString m_pattern;
};

// A compiled ICU regular expression. Templates use ICU's syntax: `$1` for a group, `\` to escape.
class IcuRegex {
public:
    enum class Matching { caseSensitive, caseInsensitive };

    // Throws IcuRegexError(invalidPattern) when the pattern does not compile.
    explicit IcuRegex(const QString& pattern, Matching matching = Matching::caseSensitive);
    IcuRegex(IcuRegex&&) noexcept;
    IcuRegex& operator=(IcuRegex&&) noexcept;
    ~IcuRegex();

    // Every match over the whole text replaced by the expanded template.
    QString replaceAll(const QString& text, const QString& replacementTemplate) const;
    // The same, or none when nothing matched.
    std::optional<QString> replaceAllIfMatched(const QString& text, const QString& replacementTemplate) const;
    // Every match replaced as by replaceAll, for text where a missed match must not pass: when ICU
    // gives up on a search (its backtracking stack or time limit, on a long run of text), a match
    // may lie anywhere from where that search began, so the text is cut there and `cutMarker`
    // takes the place of the rest.
    QString replaceAllOrCut(const QString& text, const QString& replacementTemplate, const QString& cutMarker) const;
    // The ranges of every match over the whole text, in order.
    QList<Utf16Range> matchRanges(const QString& text) const;
    // The same, keeping only matches that `accept` approves; after a refused match the search goes
    // on from the next code unit, as a lookaround in the pattern would.
    QList<Utf16Range> matchRanges(const QString& text, const std::function<bool(Utf16Range)>& accept) const;

    // The pattern that matches `literal` exactly.
    static QString escapedPattern(const QString& literal);

private:
    QString m_source;
    std::unique_ptr<icu::RegexPattern> m_pattern;
};

}  // namespace quorvelle
