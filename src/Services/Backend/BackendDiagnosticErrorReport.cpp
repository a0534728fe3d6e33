#include "Services/Backend/BackendDiagnosticErrorReport.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <array>
#include <memory>

namespace quorvelle {

namespace {

icu::UnicodeString toIcu(const QString& text) {
    return icu::UnicodeString(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<int32_t>(text.size()));
}

QString fromIcu(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

// Compiled once; a pattern object is immutable and may be shared between threads.
const std::array<std::unique_ptr<icu::RegexPattern>, 3>& redactionPatterns() {
    static const std::array<std::unique_ptr<icu::RegexPattern>, 3> patterns = [] {
        const std::array<const char16_t*, 3> sources{
            u"Bearer\\s+[A-Za-z0-9._\\-]+",
            u"eyJ[A-Za-z0-9_-]{8,}\\.[A-Za-z0-9_-]{8,}\\.[A-Za-z0-9_-]{4,}",
            u"(?i)(token|secret|password|api[_-]?key)=\\S+",
        };
        std::array<std::unique_ptr<icu::RegexPattern>, 3> compiled;
        for (size_t i = 0; i < sources.size(); ++i) {
            UErrorCode status = U_ZERO_ERROR;
            UParseError parseError{};
            compiled[i].reset(icu::RegexPattern::compile(icu::UnicodeString(sources[i]), parseError, status));
            if (U_FAILURE(status)) compiled[i].reset();
        }
        return compiled;
    }();
    return patterns;
}

}  // namespace

QString redactedDiagnosticText(const QString& text) {
    icu::UnicodeString current = toIcu(text);
    for (const auto& pattern : redactionPatterns()) {
        UErrorCode status = U_ZERO_ERROR;
        // A pattern that failed to compile must not let the text through unredacted.
        if (!pattern) return QStringLiteral("[redacted]");
        std::unique_ptr<icu::RegexMatcher> matcher(pattern->matcher(current, status));
        if (U_FAILURE(status)) return QStringLiteral("[redacted]");
        icu::UnicodeString replaced = matcher->replaceAll(u"[redacted]", status);
        if (U_FAILURE(status)) return QStringLiteral("[redacted]");
        current = replaced;
    }
    return fromIcu(current);
}

}  // namespace quorvelle
